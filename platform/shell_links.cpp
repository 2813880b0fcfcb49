// Shortcut files read and written through the shell link object.
#include "platform/shell_links.h"

#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <vector>

#include "platform/com_ptr.h"

namespace {

// The path in UTF-16 for the COM calls; empty when the text does not convert.
std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  const int size =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

// Loads file into a new shell link object; an empty holder when it cannot be read as one.
ComPtr<IShellLinkA> LoadLink(const std::string& file) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.PutVoid()))) {
    return {};
  }
  const ComPtr<IPersistFile> persist = link.As<IPersistFile>(IID_IPersistFile);
  const std::wstring wide = Widen(file);
  if (!persist || wide.empty() || FAILED(persist->Load(wide.c_str(), STGM_READ))) return {};
  return link;
}

// Sets the target and saves link at file. Only S_OK from Save counts as written.
bool SaveWithTarget(const ComPtr<IShellLinkA>& link, const std::string& file,
                    const std::string& target) {
  if (FAILED(link->SetPath(target.c_str()))) return false;
  const ComPtr<IPersistFile> persist = link.As<IPersistFile>(IID_IPersistFile);
  const std::wstring wide = Widen(file);
  if (!persist || wide.empty()) return false;
  return persist->Save(wide.c_str(), TRUE) == S_OK;
}

}  // namespace

std::optional<std::string> Win32ShellLinks::ReadTarget(const std::string& file) {
  const ComPtr<IShellLinkA> link = LoadLink(file);
  if (!link) return std::nullopt;
  // Room for a long path in UTF-8 (up to three bytes per UTF-16 unit), not only MAX_PATH.
  std::vector<char> buffer(32768 * 3, '\0');
  WIN32_FIND_DATAA findData{};
  if (FAILED(link->GetPath(buffer.data(), static_cast<int>(buffer.size()), &findData, 0))) {
    return std::nullopt;
  }
  buffer.back() = '\0';
  return std::string(buffer.data());
}

bool Win32ShellLinks::WriteLink(const std::string& file, const std::string& target) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                              IID_IShellLinkA, link.PutVoid())) ||
      !link) {
    return false;
  }
  return SaveWithTarget(link, file, target);
}

bool Win32ShellLinks::WriteRetargeted(const std::string& source, const std::string& file,
                                      const std::string& target) {
  const ComPtr<IShellLinkA> link = LoadLink(source);
  if (!link) return false;
  return SaveWithTarget(link, file, target);
}
