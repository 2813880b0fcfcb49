#include "ui/version_info.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

std::optional<VersionResource> VersionResource::Read(const std::string& path) {
  if (path.empty()) return std::nullopt;
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  VersionResource resource;
  resource.data_.resize(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, resource.data_.data())) return std::nullopt;
  return resource;
}

std::vector<VersionResource::Translation> VersionResource::Translations() const {
  std::vector<Translation> translations;
  void* block = nullptr;
  UINT length = 0;
  // VerQueryValueA takes a non-const block; it does not change it.
  void* data = const_cast<char*>(data_.data());
  if (!VerQueryValueA(data, "\\VarFileInfo\\Translation", &block, &length) || block == nullptr) {
    return translations;
  }
  const auto* words = static_cast<const std::uint16_t*>(block);
  for (UINT i = 0; i + 4 <= length; i += 4) {
    translations.push_back(Translation{words[i / 2], words[i / 2 + 1]});
  }
  return translations;
}

std::optional<std::string> VersionResource::Field(const Translation& translation,
                                                  const char* field) const {
  char subBlock[128];
  std::snprintf(subBlock, sizeof(subBlock), "\\StringFileInfo\\%04x%04x\\%s", translation.language,
                translation.codePage, field);
  void* value = nullptr;
  UINT length = 0;
  void* data = const_cast<char*>(data_.data());
  if (!VerQueryValueA(data, subBlock, &value, &length) || value == nullptr) return std::nullopt;
  // length counts characters including the terminator; the text itself is zero-terminated.
  return std::string(static_cast<const char*>(value));
}

std::string ModuleVersionString(const std::string& modulePath, const char* field) {
  const auto resource = VersionResource::Read(modulePath);
  if (!resource) return {};
  const auto translations = resource->Translations();
  if (translations.empty()) return {};
  return resource->Field(translations.front(), field).value_or(std::string());
}
