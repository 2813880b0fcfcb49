// UTF-16 <-> UTF-8 at the component's edges: COM hands it BSTRs, its file holds UTF-8.
#pragma once

#include <windows.h>

#include <new>
#include <string>
#include <string_view>

std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);
// A null BSTR is an empty text.
inline std::string Utf8FromBstr(BSTR text) {
  return text ? Utf8FromWide(std::wstring_view(text, SysStringLen(text))) : std::string();
}

// Stores a new BSTR copy of text in *out; E_OUTOFMEMORY (and *out null) when that fails.
HRESULT StoreBstr(std::wstring_view text, BSTR* out);

// Runs body and turns any C++ exception into an HRESULT: nothing may cross the COM boundary.
template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}
