// One entry as the console program prints it: every text in UTF-8, absent fields as nullopt.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct ListedEntry {
  std::string kind;      // "registry", "startup-folder" or "list-value"
  std::string location;  // as listed
  std::string name;
  std::string command;
  std::optional<std::string> valueType;  // "REG_SZ" or "REG_EXPAND_SZ" for registry values
  std::string state;                     // "on", "kept" or "windows-off"
  std::optional<std::string> program;    // the program file the command starts
  bool programExists = false;
  std::optional<std::string> company;
  std::optional<std::string> description;
  std::optional<std::string> version;
  std::optional<std::string> sha256;
  // The program's signature: "verified", "untrusted", "mismatch", "unsigned" or "missing"; empty
  // in a listing written before signatures were checked.
  std::string signature;
  std::optional<std::string> signer;  // the signing certificate's name, when signed
  bool Verified() const { return signature == "verified"; }
};

// A whole listing: where and when it was taken.
struct Listing {
  std::string computer;
  std::string user;
  std::string time;  // ISO 8601, UTC
  std::vector<ListedEntry> entries;
};
