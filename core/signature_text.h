// What the Publisher column and the filter make of a program file's signature check. Pure text:
// the check itself is platform/signature_check.
#pragma once

#include <string>

#include "platform/signature_check.h"

class LanguageTable;

// The Publisher cell: the verified signer; T("_NotVerified") with the version resource's company
// in brackets (when it names one) for a signature the system does not trust; T("_NotSigned"),
// T("_SignatureMismatch") or T("_ProgramNotFound") for the other states. Null result: the check
// has not finished, T("_Checking").
std::string PublisherText(const SignatureResult* result, const std::string& company,
                          const LanguageTable& language);

// True for the names Microsoft signs Windows' own files with (case ignored).
bool IsWindowsSigner(const std::string& signer);

// Hidden by "_HideWindowsEntries": verified, and signed as Windows.
bool IsWindowsOwn(const SignatureResult& result);

// The short English word of a state for the console's fields ("verified", "untrusted",
// "mismatch", "unsigned", "missing").
const char* SignatureStateName(SignatureResult::State state);
