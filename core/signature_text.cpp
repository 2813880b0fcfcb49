#include "core/signature_text.h"

#include <windows.h>

#include "store/language_table.h"

std::string PublisherText(const SignatureResult* result, const std::string& company,
                          const LanguageTable& language) {
  if (!result) return language.T("_Checking");
  using State = SignatureResult::State;
  switch (result->state) {
    case State::kVerified:
      return result->signer;
    case State::kNotTrusted: {
      std::string text = language.T("_NotVerified");
      if (!company.empty()) text += " (" + company + ")";
      return text;
    }
    case State::kBadDigest:
      return language.T("_SignatureMismatch");
    case State::kNotSigned:
      return language.T("_NotSigned");
    case State::kFileMissing:
    default:
      return language.T("_ProgramNotFound");
  }
}

bool IsWindowsSigner(const std::string& signer) {
  // The subjects of the certificates Windows' own files and drivers are signed with.
  static const char* const kWindowsSigners[] = {
      "Microsoft Windows",
      "Microsoft Windows Publisher",
      "Microsoft Windows Hardware Compatibility Publisher",
      "Microsoft Windows Production PCA 2011",
      "Microsoft Windows Third Party Component CA 2012",
      "Microsoft Windows Component Preproduction",
      "Microsoft Windows Verification PCA",
      "Microsoft Windows Kits Publisher",
      "Microsoft Windows Early Launch Anti-malware Publisher",
  };
  for (const char* name : kWindowsSigners) {
    if (lstrcmpiA(signer.c_str(), name) == 0) return true;
  }
  return false;
}

bool IsWindowsOwn(const SignatureResult& result) {
  return result.state == SignatureResult::State::kVerified && IsWindowsSigner(result.signer);
}

const char* SignatureStateName(SignatureResult::State state) {
  using State = SignatureResult::State;
  switch (state) {
    case State::kVerified:
      return "verified";
    case State::kNotTrusted:
      return "untrusted";
    case State::kBadDigest:
      return "mismatch";
    case State::kNotSigned:
      return "unsigned";
    case State::kFileMissing:
    default:
      return "missing";
  }
}
