// The signed files made by make_signed_samples.sh in <build>/signing, and the test certificate
// trusted for as long as a TrustedTestRoot lives (added to the current user's root store and
// taken out again).
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <wincrypt.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string SignedSample(const std::string& name) {
  char build[MAX_PATH * 3] = {};
  GetEnvironmentVariableA("QV_BUILD_DIR", build, sizeof(build));
  std::string path = std::string("Z:") + build + "/signing/" + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

constexpr char kTestSigner[] = "Quorvane Test Publisher";

class TrustedTestRoot {
 public:
  TrustedTestRoot() {
    std::ifstream file(SignedSample("cert.der"), std::ios::binary);
    der_.assign(std::istreambuf_iterator<char>(file), {});
    HCERTSTORE root =
        CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!root) return;
    added_ = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING,
                                              reinterpret_cast<const BYTE*>(der_.data()),
                                              static_cast<DWORD>(der_.size()),
                                              CERT_STORE_ADD_REPLACE_EXISTING, nullptr) != FALSE;
    CertCloseStore(root, 0);
  }
  ~TrustedTestRoot() { Remove(); }
  TrustedTestRoot(const TrustedTestRoot&) = delete;
  TrustedTestRoot& operator=(const TrustedTestRoot&) = delete;

  bool Added() const { return added_; }
  // Takes the certificate out of the registry store itself: Wine 8 deletes nothing through the
  // system store's collection.
  bool Remove() {
    if (!added_) return true;
    PCCERT_CONTEXT mine =
        CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der_.data()),
                                     static_cast<DWORD>(der_.size()));
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0,
                                    CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    bool removed = false;
    if (mine && root) {
      PCCERT_CONTEXT found =
          CertFindCertificateInStore(root, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, mine, nullptr);
      removed = found && CertDeleteCertificateFromStore(found);  // frees found
    }
    if (root) CertCloseStore(root, 0);
    if (mine) CertFreeCertificateContext(mine);
    added_ = !removed;
    return removed;
  }

 private:
  std::vector<char> der_;
  bool added_ = false;
};
