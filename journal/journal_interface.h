// The operation journal's COM interface, shared by the component (ChronivexLog.dll) and the
// program that calls it. The slot order is the binary contract: never reorder or insert.
#pragma once

#include <windows.h>

// {5B0E7D21-4C8A-4F3E-9A61-2E7C0D94B815}
inline constexpr IID kIidChronivexLog = {
    0x5b0e7d21, 0x4c8a, 0x4f3e, {0x9a, 0x61, 0x2e, 0x7c, 0x0d, 0x94, 0xb8, 0x15}};
// {8A15D7A3-A664-48EF-AEF1-098ED8EB2649}: the journal class of ChronivexLog.dll.
inline constexpr CLSID kClsidChronivexLog = {
    0x8a15d7a3, 0xa664, 0x48ef, {0xae, 0xf1, 0x09, 0x8e, 0xd8, 0xeb, 0x26, 0x49}};
inline constexpr wchar_t kChronivexLogProgId[] = L"Chronivex.Log";

// Every operation returns an HRESULT; no exception ever leaves it. Text goes in as BSTR (a null
// BSTR is an empty text) and comes out as a BSTR the caller frees with SysFreeString.
struct IChronivexLog : public IUnknown {
  // Shows the journal's records, newest first, in a modal window owned by the caller's active
  // window; returns when the user closes it. reserved is 0; site may be null and is not used.
  // E_UNEXPECTED before SetDataDirectory.
  virtual HRESULT STDMETHODCALLTYPE ShowViewer(LONG reserved, IUnknown* site) = 0;
  // Sets the folder that holds the records and creates it with all missing parents. On failure
  // the previous folder (if any) stays in use.
  virtual HRESULT STDMETHODCALLTYPE SetDataDirectory(BSTR directory) = 0;
  // The full path of the data folder; S_FALSE and an empty text while none is set.
  virtual HRESULT STDMETHODCALLTYPE GetDataDirectory(BSTR* directory) = 0;
  // The number of records in the data folder (0 when none were written yet).
  virtual HRESULT STDMETHODCALLTYPE GetRecordCount(LONG* count) = 0;
  // One record as stored, index 0 being the newest: six fields (local time stamp
  // "YYYY-MM-DD hh:mm:ss", then the five texts of WriteRecord) joined by tabs, each field with
  // backslash, tab, line feed and carriage return escaped as \\ \t \n \r.
  // E_INVALIDARG when index is out of range.
  virtual HRESULT STDMETHODCALLTYPE ReadRecord(LONG index, BSTR* record) = 0;
  // Removes every record of the data folder.
  virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
  // Appends one record with the current local time; it is on disk when the call returns.
  // E_UNEXPECTED before SetDataDirectory.
  virtual HRESULT STDMETHODCALLTYPE WriteRecord(BSTR logType, BSTR category, BSTR itemType,
                                                BSTR source, BSTR content) = 0;
};
