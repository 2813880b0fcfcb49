// Owning holders for the COM text types (BSTR, VARIANT) and the CP_ACP conversions at the point
// where the program's 8-bit text crosses into COM.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

class Bstr {
 public:
  Bstr() = default;
  // Converts 8-bit text in the active code page. An empty text gives an empty, non-null BSTR.
  explicit Bstr(const std::string& text) {
    const int length = WideLength(text);
    bstr_ = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (bstr_ && length > 0) {
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bstr_, length);
    }
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : bstr_(std::exchange(other.bstr_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) {
      Reset();
      bstr_ = std::exchange(other.bstr_, nullptr);
    }
    return *this;
  }
  ~Bstr() { Reset(); }

  BSTR Get() const { return bstr_; }
  // For out-parameters of COM calls: frees what is held, then hands out the slot.
  BSTR* Put() {
    Reset();
    return &bstr_;
  }
  void Reset() {
    if (bstr_) SysFreeString(std::exchange(bstr_, nullptr));
  }
  BSTR Detach() { return std::exchange(bstr_, nullptr); }

  // The held text in the active code page; empty for a null BSTR.
  std::string ToAcp() const { return ToAcp(bstr_, bstr_ ? SysStringLen(bstr_) : 0); }

  static std::string ToAcp(const wchar_t* text, UINT length) {
    if (!text || length == 0) return {};
    const int wide = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_ACP, 0, text, wide, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return {};
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, wide, result.data(), size, nullptr, nullptr);
    return result;
  }

 private:
  static int WideLength(const std::string& text) {
    if (text.empty()) return 0;
    return MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  }

  BSTR bstr_ = nullptr;
};

// A VARIANT that is cleared exactly once.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  // A VT_BSTR variant holding the text converted from the active code page.
  explicit Variant(const std::string& text) : Variant() {
    Bstr bstr(text);
    if (bstr.Get()) {
      v_.vt = VT_BSTR;
      v_.bstrVal = bstr.Detach();
    }
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }

  VARIANT* Get() { return &v_; }
  const VARIANT& Ref() const { return v_; }
  // For out-parameters: clears what is held, then hands out the variant.
  VARIANT* Put() {
    VariantClear(&v_);
    return &v_;
  }

  // The value as text in the active code page (changed to VT_BSTR in place); empty for
  // VT_EMPTY, VT_NULL or a value that cannot be changed to text.
  std::string ToAcp() {
    if (v_.vt == VT_EMPTY || v_.vt == VT_NULL) return {};
    if (v_.vt != VT_BSTR && FAILED(VariantChangeType(&v_, &v_, 0, VT_BSTR))) return {};
    return Bstr::ToAcp(v_.bstrVal, v_.bstrVal ? SysStringLen(v_.bstrVal) : 0);
  }

 private:
  VARIANT v_;
};
