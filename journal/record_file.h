// The record file inside the journal's data folder: appended to, read whole, removed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The file that holds the records of a data folder.
std::wstring RecordFilePath(const std::wstring& dataDirectory);

// Creates directory and every missing parent; S_OK when it exists as a folder afterwards.
HRESULT CreateDirectoryTree(const std::wstring& directory);

// Appends line and a line end, then flushes the file to disk. If the file does not end with a
// line end (an earlier write was cut short), the new record starts on a fresh line.
HRESULT AppendRecordLine(const std::wstring& file, const std::string& line);

// The whole file's record lines, oldest first; no lines when the file does not exist yet.
HRESULT ReadRecordFile(const std::wstring& file, std::vector<std::string>* lines);

// Removes the file; S_OK also when there was none.
HRESULT DeleteRecordFile(const std::wstring& file);
