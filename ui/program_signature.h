// The signature of the program an entry's command line starts, with what the Publisher column
// shows beside it. Used by the view's worker thread and by the console program alike.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/signature_cache.h"
#include "platform/signature_check.h"

// Checks one program file; the system check, or a stand-in in tests.
using SignatureChecker = std::function<SignatureResult(const std::string& path)>;

struct ProgramSignature {
  std::string command;  // the command line it was asked for
  std::string path;     // the program file found for it
  SignatureResult signature;
  std::string company;  // the version resource's company, read when the signer is not verified
};

// The size and last write time of path; nullopt when it names no file.
std::optional<FileStamp> ReadFileStamp(const std::string& path);

// The signature of the file at path through cache: checked only when cache has no result for
// its present size and write time. A path that names no file is kFileMissing.
SignatureResult CachedSignature(const std::string& path, const SignatureChecker& checker,
                                SignatureCache& cache);

// Resolves command to its program file (as About file does), checks it through cache (which
// keeps what it checks) and reads the company name where the column needs it.
ProgramSignature CheckProgram(const std::string& command, const SignatureChecker& checker,
                              SignatureCache& cache);
