// What a shortcut carries besides its target, read straight through the shell link object, for
// checking that a copy kept them: "arguments|working folder|icon,index".
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "platform/com_ptr.h"
#include "support/temp_folder.h"

inline std::string LinkSettings(const std::string& file) {
  ComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.PutVoid()))) {
    return "<no object>";
  }
  ComPtr<IPersistFile> persist = link.As<IPersistFile>(IID_IPersistFile);
  const std::wstring wide = TestLongPath(file);  // any length
  if (!persist || FAILED(persist->Load(wide.c_str(), STGM_READ))) return "<not loaded>";
  char arguments[4096] = {}, folder[4096] = {}, icon[4096] = {};
  int index = 0;
  link->GetArguments(arguments, sizeof(arguments));
  link->GetWorkingDirectory(folder, sizeof(folder));
  link->GetIconLocation(icon, sizeof(icon), &index);
  return std::string(arguments) + "|" + folder + "|" + icon + "," + std::to_string(index);
}
