#include "ui/program_signature.h"

#include <windows.h>

#include "core/program_lookup.h"
#include "platform/wide_path.h"
#include "ui/version_info.h"

std::optional<FileStamp> ReadFileStamp(const std::string& path) {
  const std::wstring wide = WideFilePath(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (path.empty() || wide.empty() ||
      !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::nullopt;
  }
  FileStamp stamp;
  stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  stamp.lastWrite = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                    data.ftLastWriteTime.dwLowDateTime;
  return stamp;
}

ProgramSignature CheckProgram(const std::string& command, const SignatureChecker& checker,
                              SignatureCache& cache) {
  ProgramSignature checked;
  checked.command = command;
  checked.path = ProgramFileOf(command, SystemProgramLookup(), Expand::kYes);
  const std::optional<FileStamp> stamp = ReadFileStamp(checked.path);
  if (!stamp) {
    checked.signature.state = SignatureResult::State::kFileMissing;
    return checked;
  }
  if (std::optional<SignatureResult> known = cache.Find(checked.path, *stamp)) {
    checked.signature = std::move(*known);
  } else {
    checked.signature = checker(checked.path);
    cache.Store(checked.path, *stamp, checked.signature);
  }
  if (checked.signature.state == SignatureResult::State::kNotTrusted) {
    checked.company = ModuleVersionString(checked.path, "CompanyName");
  }
  return checked;
}
