// The journal object's operations. Every entry point is guarded: a C++ exception becomes an
// HRESULT and never reaches the caller.
#include "journal/chronivex_log.h"

#include <algorithm>

#include "journal/module.h"
#include "journal/record_file.h"
#include "journal/record_format.h"
#include "journal/viewer.h"
#include "journal/wide_text.h"

namespace {

std::string LocalTimeStamp() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char text[32];
  wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
            now.wMinute, now.wSecond);
  return text;
}

// The window the viewer belongs to: the caller's active window, if the caller has one.
HWND ViewerOwner() {
  const HWND active = GetActiveWindow();
  return active ? GetAncestor(active, GA_ROOT) : nullptr;
}

}  // namespace

ChronivexLog::ChronivexLog() {
  LockModule();
}
ChronivexLog::~ChronivexLog() {
  UnlockModule();
}

HRESULT ChronivexLog::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kIidChronivexLog)) {
    *object = static_cast<IChronivexLog*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ChronivexLog::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG ChronivexLog::Release() {
  const LONG refs = InterlockedDecrement(&refs_);
  if (refs == 0) delete this;
  return static_cast<ULONG>(refs);
}

HRESULT ChronivexLog::SetDataDirectory(BSTR directory) {
  return Guarded([&]() -> HRESULT {
    if (!directory || SysStringLen(directory) == 0) return E_INVALIDARG;
    const std::wstring given(directory, SysStringLen(directory));
    if (given.find(L'\0') != std::wstring::npos) return E_INVALIDARG;
    // A relative path would follow the caller's current folder; fix it once, now.
    std::wstring full(MAX_PATH, L'\0');
    DWORD length =
        GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
      full.resize(length);
      length = GetFullPathNameW(given.c_str(), length, full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return E_INVALIDARG;
    full.resize(length);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) full.pop_back();

    const HRESULT created = CreateDirectoryTree(full);
    if (FAILED(created)) return created;
    dataDirectory_ = full;
    return S_OK;
  });
}

HRESULT ChronivexLog::GetDataDirectory(BSTR* directory) {
  if (!directory) return E_POINTER;
  *directory = nullptr;
  return Guarded([&]() -> HRESULT {
    const HRESULT stored = StoreBstr(dataDirectory_, directory);
    if (FAILED(stored)) return stored;
    return dataDirectory_.empty() ? S_FALSE : S_OK;
  });
}

HRESULT ChronivexLog::ReadLines(std::vector<std::string>* lines) const {
  if (dataDirectory_.empty()) return E_UNEXPECTED;
  return ReadRecordFile(RecordFilePath(dataDirectory_), lines);
}

HRESULT ChronivexLog::GetRecordCount(LONG* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return Guarded([&]() -> HRESULT {
    std::vector<std::string> lines;
    const HRESULT read = ReadLines(&lines);
    if (FAILED(read)) return read;
    *count = static_cast<LONG>(std::min<size_t>(lines.size(), 0x7fffffff));
    return S_OK;
  });
}

HRESULT ChronivexLog::ReadRecord(LONG index, BSTR* record) {
  if (!record) return E_POINTER;
  *record = nullptr;
  return Guarded([&]() -> HRESULT {
    std::vector<std::string> lines;
    const HRESULT read = ReadLines(&lines);
    if (FAILED(read)) return read;
    if (index < 0 || static_cast<size_t>(index) >= lines.size()) return E_INVALIDARG;
    return StoreBstr(WideFromUtf8(lines[lines.size() - 1 - static_cast<size_t>(index)]), record);
  });
}

HRESULT ChronivexLog::Clear() {
  return Guarded([&]() -> HRESULT {
    if (dataDirectory_.empty()) return E_UNEXPECTED;
    return DeleteRecordFile(RecordFilePath(dataDirectory_));
  });
}

HRESULT ChronivexLog::WriteRecord(BSTR logType, BSTR category, BSTR itemType, BSTR source,
                                  BSTR content) {
  return Guarded([&]() -> HRESULT {
    if (dataDirectory_.empty()) return E_UNEXPECTED;
    const std::string line =
        FormatRecordLine({LocalTimeStamp(), Utf8FromBstr(logType), Utf8FromBstr(category),
                          Utf8FromBstr(itemType), Utf8FromBstr(source), Utf8FromBstr(content)});
    return AppendRecordLine(RecordFilePath(dataDirectory_), line);
  });
}

HRESULT ChronivexLog::ShowViewer(LONG /*reserved*/, IUnknown* /*site*/) {
  return Guarded([&]() -> HRESULT {
    std::vector<std::string> lines;
    const HRESULT read = ReadLines(&lines);
    if (FAILED(read)) return read;
    std::vector<std::vector<std::string>> rows;
    rows.reserve(lines.size());
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
      rows.push_back(ParseRecordLine(*line));
    }
    // Keep this object alive while the viewer's message loop runs.
    AddRef();
    const HRESULT shown = RunViewer(ViewerOwner(), rows);
    Release();
    return shown;
  });
}
