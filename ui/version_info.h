// Reading texts from a file's version resource.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A file's version resource, read once.
class VersionResource {
 public:
  struct Translation {
    std::uint16_t language;
    std::uint16_t codePage;
  };

  // Empty when the file has no readable version resource.
  static std::optional<VersionResource> Read(const std::string& path);

  // The translations listed in \VarFileInfo\Translation, in list order.
  std::vector<Translation> Translations() const;
  // The string field of one translation; nullopt when the resource lacks it.
  std::optional<std::string> Field(const Translation& translation, const char* field) const;

 private:
  std::vector<char> data_;
};

// The field of the first translation of modulePath's version resource; empty on any failure.
std::string ModuleVersionString(const std::string& modulePath, const char* field);
