// The journal object: keeps records in a UTF-8 text file inside the data folder it is given.
#pragma once

#include <string>
#include <vector>

#include "journal/journal_interface.h"

class ChronivexLog final : public IChronivexLog {
 public:
  ChronivexLog();
  ChronivexLog(const ChronivexLog&) = delete;
  ChronivexLog& operator=(const ChronivexLog&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IChronivexLog
  HRESULT STDMETHODCALLTYPE ShowViewer(LONG reserved, IUnknown* site) override;
  HRESULT STDMETHODCALLTYPE SetDataDirectory(BSTR directory) override;
  HRESULT STDMETHODCALLTYPE GetDataDirectory(BSTR* directory) override;
  HRESULT STDMETHODCALLTYPE GetRecordCount(LONG* count) override;
  HRESULT STDMETHODCALLTYPE ReadRecord(LONG index, BSTR* record) override;
  HRESULT STDMETHODCALLTYPE Clear() override;
  HRESULT STDMETHODCALLTYPE WriteRecord(BSTR logType, BSTR category, BSTR itemType, BSTR source,
                                        BSTR content) override;

 private:
  ~ChronivexLog();
  // The stored record lines, oldest first.
  HRESULT ReadLines(std::vector<std::string>* lines) const;

  LONG refs_ = 1;
  std::wstring dataDirectory_;
};
