#include "platform/signature_check.h"

#include <windows.h>
// The crypto headers need windows.h first.
#include <mscat.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <optional>
#include <vector>

#include "platform/status.h"
#include "platform/wide_path.h"
#include "platform/win_handles.h"

namespace {

using State = SignatureResult::State;

// The newer catalog calls (SHA-256 hashes) are looked up by name: systems without them (older
// Windows, Wine 8 has no CryptCATAdminCalcHashFromFileHandle2) fall back to the SHA-1 calls.
using AcquireContext2Fn = BOOL(WINAPI*)(HCATADMIN*, const GUID*, PCWSTR, PCCERT_STRONG_SIGN_PARA,
                                        DWORD);
using CalcHash2Fn = BOOL(WINAPI*)(HCATADMIN, HANDLE, DWORD*, BYTE*, DWORD);

std::uint64_t Ticks(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

std::string CertName(PCCERT_CONTEXT cert, DWORD flags) {
  const DWORD length =
      CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, nullptr, 0);
  if (length <= 1) return {};
  std::wstring name(length, L'\0');
  CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, name.data(), length);
  name.resize(length - 1);
  return AcpFromWide(name);
}

// One WinVerifyTrust run; the state it keeps for reading the signer is closed with it.
class TrustCheck {
 public:
  explicit TrustCheck(WINTRUST_DATA data) : data_(data) {
    data_.cbStruct = sizeof(data_);
    data_.dwUIChoice = WTD_UI_NONE;
    data_.fdwRevocationChecks = WTD_REVOKE_NONE;
    data_.dwStateAction = WTD_STATEACTION_VERIFY;
    data_.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
    status_ = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
  }
  ~TrustCheck() {
    data_.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action_, &data_);
  }
  TrustCheck(const TrustCheck&) = delete;
  TrustCheck& operator=(const TrustCheck&) = delete;

  LONG Status() const { return status_; }
  // The first signer as the check saw it; null when it got no signer.
  const CRYPT_PROVIDER_SGNR* Signer() const {
    if (!data_.hWVTStateData) return nullptr;
    CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data_.hWVTStateData);
    return provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
  }

 private:
  GUID action_ = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  WINTRUST_DATA data_;
  LONG status_ = 0;
};

// A chain problem the trust provider let pass (Wine 8 accepts any chain): the status a strict
// check gives for it, or 0.
LONG ChainProblem(const CRYPT_PROVIDER_SGNR& signer) {
  if (!signer.pChainContext) return 0;
  const DWORD errors = signer.pChainContext->TrustStatus.dwErrorStatus;
  if (errors & CERT_TRUST_IS_EXPLICIT_DISTRUST) return TRUST_E_EXPLICIT_DISTRUST;
  if (errors & CERT_TRUST_IS_REVOKED) return CERT_E_REVOKED;
  if (errors & CERT_TRUST_IS_NOT_SIGNATURE_VALID) return TRUST_E_CERT_SIGNATURE;
  if (errors & CERT_TRUST_IS_PARTIAL_CHAIN) return CERT_E_CHAINING;
  if (errors & CERT_TRUST_IS_UNTRUSTED_ROOT) return CERT_E_UNTRUSTEDROOT;
  return 0;
}

void TakeSigner(const TrustCheck& check, SignatureResult& result) {
  const CRYPT_PROVIDER_SGNR* signer = check.Signer();
  if (!signer) return;
  const CRYPT_PROVIDER_CERT* cert =
      WTHelperGetProvCertFromChain(const_cast<CRYPT_PROVIDER_SGNR*>(signer), 0);
  if (!cert || !cert->pCert) return;
  result.signer = CertName(cert->pCert, 0);
  result.issuer = CertName(cert->pCert, CERT_NAME_ISSUER_FLAG);
  result.notBefore = Ticks(cert->pCert->pCertInfo->NotBefore);
  result.notAfter = Ticks(cert->pCert->pCertInfo->NotAfter);
}

bool IsNoSignature(LONG status) {
  return status == TRUST_E_NOSIGNATURE || status == TRUST_E_SUBJECT_FORM_UNKNOWN ||
         status == TRUST_E_PROVIDER_UNKNOWN || status == TRUST_E_SUBJECT_NOT_TRUSTED;
}

bool IsMissing(LONG status) {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND ||
         status == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
         status == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The result of a finished check of a file that has a signature (its own or a catalog's).
SignatureResult FromCheck(const TrustCheck& check, bool fromCatalog) {
  SignatureResult result;
  result.fromCatalog = fromCatalog;
  TakeSigner(check, result);
  LONG status = check.Status();
  if (status == ERROR_SUCCESS) {
    if (const CRYPT_PROVIDER_SGNR* signer = check.Signer()) status = ChainProblem(*signer);
  }
  result.reason = status;
  if (status == ERROR_SUCCESS) {
    result.state = State::kVerified;
    return result;
  }
  result.reasonText = SystemMessage(static_cast<DWORD>(status));
  if (result.reasonText.empty()) {
    char code[32];
    wsprintfA(code, "0x%08lX", static_cast<unsigned long>(status));
    result.reasonText = code;
  }
  if (status == TRUST_E_BAD_DIGEST) {
    result.state = State::kBadDigest;
  } else if (IsNoSignature(status)) {
    result.state = State::kNotSigned;
  } else if (IsMissing(status)) {
    result.state = State::kFileMissing;
  } else {
    result.state = State::kNotTrusted;
  }
  return result;
}

struct CatalogAdminTraits {
  using Handle = HCATADMIN;
  static Handle Invalid() { return nullptr; }
  static void Close(Handle h) { CryptCATAdminReleaseContext(h, 0); }
};
using UniqueCatalogAdmin = UniqueHandle<CatalogAdminTraits>;

// A catalog found for a hash, released through the admin context it came from.
class CatalogMatch {
 public:
  CatalogMatch(HCATADMIN admin, HCATINFO info) : admin_(admin), info_(info) {}
  ~CatalogMatch() {
    if (info_) CryptCATAdminReleaseCatalogContext(admin_, info_, 0);
  }
  CatalogMatch(const CatalogMatch&) = delete;
  CatalogMatch& operator=(const CatalogMatch&) = delete;
  HCATINFO Get() const { return info_; }

 private:
  HCATADMIN admin_;
  HCATINFO info_;
};

std::wstring HexText(const std::vector<BYTE>& bytes) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  for (const BYTE b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

// The check through a system catalog that lists the file's hash; nullopt when none does.
std::optional<SignatureResult> CheckCatalog(const std::wstring& path) {
  UniqueModule wintrust(LoadLibraryW(L"wintrust.dll"));
  if (!wintrust) return std::nullopt;
  const auto acquire2 = reinterpret_cast<AcquireContext2Fn>(
      reinterpret_cast<void*>(GetProcAddress(wintrust.Get(), "CryptCATAdminAcquireContext2")));
  const auto hash2 = reinterpret_cast<CalcHash2Fn>(reinterpret_cast<void*>(
      GetProcAddress(wintrust.Get(), "CryptCATAdminCalcHashFromFileHandle2")));

  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;

  GUID driverAction = DRIVER_ACTION_VERIFY;
  UniqueCatalogAdmin admin;
  std::vector<BYTE> hash(64);
  DWORD hashSize = static_cast<DWORD>(hash.size());
  bool hashed = false;
  if (acquire2 && hash2 &&
      acquire2(admin.Put(), &driverAction, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) {
    hashed = hash2(admin.Get(), file.Get(), &hashSize, hash.data(), 0) != FALSE;
  }
  if (!hashed) {
    hashSize = static_cast<DWORD>(hash.size());
    if (!CryptCATAdminAcquireContext(admin.Put(), &driverAction, 0)) return std::nullopt;
    if (!CryptCATAdminCalcHashFromFileHandle(file.Get(), &hashSize, hash.data(), 0)) {
      return std::nullopt;
    }
  }
  hash.resize(hashSize);

  CatalogMatch match(admin.Get(), CryptCATAdminEnumCatalogFromHash(admin.Get(), hash.data(),
                                                                   hashSize, 0, nullptr));
  if (!match.Get()) return std::nullopt;
  CATALOG_INFO catalog{};
  catalog.cbStruct = sizeof(catalog);
  if (!CryptCATCatalogInfoFromContext(match.Get(), &catalog, 0)) return std::nullopt;

  const std::wstring tag = HexText(hash);
  WINTRUST_CATALOG_INFO member{};
  member.cbStruct = sizeof(member);
  member.pcwszCatalogFilePath = catalog.wszCatalogFile;
  member.pcwszMemberTag = tag.c_str();
  member.pcwszMemberFilePath = path.c_str();
  member.hMemberFile = file.Get();
  member.pbCalculatedFileHash = hash.data();
  member.cbCalculatedFileHash = hashSize;
  member.hCatAdmin = admin.Get();
  WINTRUST_DATA data{};
  data.dwUnionChoice = WTD_CHOICE_CATALOG;
  data.pCatalog = &member;
  const TrustCheck check(data);
  return FromCheck(check, true);
}

}  // namespace

SignatureResult CheckFileSignature(const std::string& path) {
  SignatureResult missing;
  missing.state = State::kFileMissing;
  missing.reason = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
  const std::wstring wide = WideFilePath(path);
  if (path.empty() || wide.empty()) return missing;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return missing;
  }

  WINTRUST_FILE_INFO file{};
  file.cbStruct = sizeof(file);
  file.pcwszFilePath = wide.c_str();
  WINTRUST_DATA data{};
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  SignatureResult embedded;
  {
    const TrustCheck check(data);
    embedded = FromCheck(check, false);
  }
  if (embedded.state != State::kNotSigned) return embedded;
  // Windows' own files are mostly signed through catalogs, not in the file.
  if (std::optional<SignatureResult> listed = CheckCatalog(wide)) return *listed;
  return embedded;
}
