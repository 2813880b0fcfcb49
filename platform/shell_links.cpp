// Shortcut files read and written through the shell link object. The file is handed to
// IPersistFile in the form of platform/wide_path.h, so shortcuts with long paths work too.
#include "platform/shell_links.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/com_ptr.h"
#include "platform/wide_path.h"

namespace {

// Room for a long path or command line in UTF-8 (up to three bytes per UTF-16 unit).
constexpr size_t kTextBuffer = 32768 * 3;

// Loads file into a new shell link object; an empty holder when it cannot be read as one.
ComPtr<IShellLinkA> LoadLink(const std::string& file) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.PutVoid()))) {
    return {};
  }
  const ComPtr<IPersistFile> persist = link.As<IPersistFile>(IID_IPersistFile);
  const std::wstring wide = WideFilePath(file);
  if (!persist || wide.empty() || FAILED(persist->Load(wide.c_str(), STGM_READ))) return {};
  return link;
}

// A new, empty shell link object.
HRESULT NewLink(ComPtr<IShellLinkA>& link) {
  const HRESULT created = CoCreateInstance(
      CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
      IID_IShellLinkA, link.PutVoid());
  return SUCCEEDED(created) && !link ? E_NOINTERFACE : created;
}

// The text a getter of the link writes into a buffer; empty when it fails.
// Most texts are short: a small buffer is tried first, the full one only when it came back full
// (the shell's getters cost in proportion to the buffer they are given).
template <typename Get>
std::string LinkText(Get get) {
  for (const size_t size : {size_t{1024}, kTextBuffer}) {
    std::vector<char> buffer(size, '\0');
    if (FAILED(get(buffer.data(), static_cast<int>(buffer.size())))) return std::string();
    buffer.back() = '\0';
    std::string text(buffer.data());
    if (text.size() + 1 < size) return text;
  }
  return std::string();
}

// The link's target path; nullopt when the link gives none.
std::optional<std::string> LinkPath(const ComPtr<IShellLinkA>& link) {
  bool failed = false;
  std::string path = LinkText([&](char* buffer, int size) {
    WIN32_FIND_DATAA findData{};
    const HRESULT got = link->GetPath(buffer, size, &findData, 0);
    failed = FAILED(got);
    return got;
  });
  if (failed) return std::nullopt;
  return path;
}

// Sets the target and arguments and saves link at file. Only S_OK from Save counts as written.
Status SaveWithCommand(const ComPtr<IShellLinkA>& link, const std::string& file,
                       const std::string& target, const std::string& arguments) {
  if (const HRESULT set = link->SetPath(target.c_str()); FAILED(set)) {
    return Status::FromHresult(set);
  }
  if (const HRESULT set = link->SetArguments(arguments.c_str()); FAILED(set)) {
    return Status::FromHresult(set);
  }
  const ComPtr<IPersistFile> persist = link.As<IPersistFile>(IID_IPersistFile);
  if (!persist) return Status::FromHresult(E_NOINTERFACE);
  const std::wstring wide = WideFilePath(file);
  if (wide.empty()) return Status(ERROR_NO_UNICODE_TRANSLATION);
  return Status::FromHresult(persist->Save(wide.c_str(), TRUE));
}

}  // namespace

std::optional<std::string> Win32ShellLinks::ReadTarget(const std::string& file) {
  const ComPtr<IShellLinkA> link = LoadLink(file);
  if (!link) return std::nullopt;
  return LinkPath(link);
}

std::optional<LinkCommand> Win32ShellLinks::ReadCommand(const std::string& file) {
  const ComPtr<IShellLinkA> link = LoadLink(file);
  if (!link) return std::nullopt;
  std::optional<std::string> target = LinkPath(link);
  if (!target) return std::nullopt;
  LinkCommand command{std::move(*target), {}};
  command.arguments = LinkText([&](char* b, int n) { return link->GetArguments(b, n); });
  return command;
}

Status Win32ShellLinks::WriteLink(const std::string& file, const std::string& target,
                                  const std::string& arguments) {
  ComPtr<IShellLinkA> link;
  if (const HRESULT created = NewLink(link); FAILED(created)) return Status::FromHresult(created);
  return SaveWithCommand(link, file, target, arguments);
}

Status Win32ShellLinks::WriteRetargeted(const std::string& source, const std::string& file,
                                        const std::string& target, const std::string& arguments) {
  const ComPtr<IShellLinkA> from = LoadLink(source);
  if (!from) return Status(ERROR_BAD_FORMAT);  // not readable as a shortcut
  // The settings are copied into a fresh link rather than saving the loaded one: a loaded
  // link keeps its old relative path and ID list, which point at the old target (and Wine
  // writes such a link with its strings shifted).
  auto text = [](auto get) { return LinkText(get); };
  const std::string folder = text([&](char* b, int n) { return from->GetWorkingDirectory(b, n); });
  const std::string description = text([&](char* b, int n) { return from->GetDescription(b, n); });
  int iconIndex = 0;
  const std::string icon =
      text([&](char* b, int n) { return from->GetIconLocation(b, n, &iconIndex); });
  int showCommand = SW_SHOWNORMAL;
  if (FAILED(from->GetShowCmd(&showCommand))) showCommand = SW_SHOWNORMAL;
  WORD hotkey = 0;
  if (FAILED(from->GetHotkey(&hotkey))) hotkey = 0;

  ComPtr<IShellLinkA> link;
  if (const HRESULT created = NewLink(link); FAILED(created)) return Status::FromHresult(created);
  if ((!folder.empty() && FAILED(link->SetWorkingDirectory(folder.c_str()))) ||
      (!description.empty() && FAILED(link->SetDescription(description.c_str()))) ||
      (!icon.empty() && FAILED(link->SetIconLocation(icon.c_str(), iconIndex))) ||
      FAILED(link->SetShowCmd(showCommand)) || (hotkey != 0 && FAILED(link->SetHotkey(hotkey)))) {
    return Status(ERROR_GEN_FAILURE);
  }
  return SaveWithCommand(link, file, target, arguments);
}
