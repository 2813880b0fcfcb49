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

SignatureResult CachedSignature(const std::string& path, const SignatureChecker& checker,
                                SignatureCache& cache) {
  const std::optional<FileStamp> stamp = ReadFileStamp(path);
  if (!stamp) {
    SignatureResult missing;
    missing.state = SignatureResult::State::kFileMissing;
    return missing;
  }
  if (std::optional<SignatureResult> known = cache.Find(path, *stamp)) return std::move(*known);
  SignatureResult result = checker(path);
  cache.Store(path, *stamp, result);
  return result;
}

ProgramSignature CheckProgram(const std::string& command, const SignatureChecker& checker,
                              SignatureCache& cache) {
  ProgramSignature checked;
  checked.command = command;
  checked.path = ProgramFileOf(command, SystemProgramLookup(), Expand::kYes);
  checked.signature = CachedSignature(checked.path, checker, cache);
  if (checked.signature.state == SignatureResult::State::kNotTrusted) {
    checked.company = ModuleVersionString(checked.path, "CompanyName");
  }
  return checked;
}
