// Who signed a program file: its Authenticode signature, or failing that a system catalog that
// lists the file's hash, checked without any user interface and without the network.
#pragma once

#include <cstdint>
#include <string>

struct SignatureResult {
  enum class State {
    kVerified,    // signed, the signature matches and its chain ends at a trusted root
    kNotTrusted,  // signed and matching, but the system does not trust the signer
    kBadDigest,   // signed, but the file was changed after signing
    kNotSigned,   // no signature, no catalog that lists the file
    kFileMissing  // no file at the path
  };
  State state = State::kFileMissing;
  std::string signer;           // the signing certificate's display name (verified, not trusted)
  std::string issuer;           // who issued that certificate
  std::uint64_t notBefore = 0;  // its validity, FILETIME ticks (UTC); 0 when unknown
  std::uint64_t notAfter = 0;
  long reason = 0;           // the system's status of the check (an HRESULT); 0 when verified
  std::string reasonText;    // the system's text for reason, one line; empty when verified
  bool fromCatalog = false;  // the file's hash was found in a system catalog

  bool operator==(const SignatureResult&) const = default;
};

// The system check of path. Safe to call from any thread; every system handle it opens is closed
// before it returns.
SignatureResult CheckFileSignature(const std::string& path);
