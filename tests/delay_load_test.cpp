// shell32 and comdlg32 come when the program first calls one of their functions, not when it
// starts: the program's import directory names neither, and this exe, linked the same way, gets
// shell32 at its first call.
#include <windows.h>

// commdlg.h and shellapi.h need the types of windows.h first.
#include <commdlg.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

// The file offset of a relative virtual address, through the section table; 0 when no section
// holds it.
DWORD FileOffset(const IMAGE_NT_HEADERS64& nt, const std::string& bytes, DWORD rva) {
  const auto* section = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
      reinterpret_cast<const char*>(&nt.OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader);
  for (int i = 0; i < nt.FileHeader.NumberOfSections; ++i, ++section) {
    const char* end = reinterpret_cast<const char*>(section + 1);
    if (end > bytes.data() + bytes.size()) return 0;
    const DWORD size = std::max(section->Misc.VirtualSize, section->SizeOfRawData);
    if (rva >= section->VirtualAddress && rva < section->VirtualAddress + size) {
      return rva - section->VirtualAddress + section->PointerToRawData;
    }
  }
  return 0;
}

// The DLLs a 64-bit exe names in its import directory (those loaded before it starts), lower-case.
std::vector<std::string> LoadTimeImports(const std::string& bytes) {
  std::vector<std::string> dlls;
  if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return dlls;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  if (dos->e_magic != IMAGE_DOS_SIGNATURE ||
      static_cast<std::size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS64) > bytes.size()) {
    return dlls;
  }
  const auto& nt = *reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + dos->e_lfanew);
  if (nt.Signature != IMAGE_NT_SIGNATURE ||
      nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    return dlls;
  }
  const IMAGE_DATA_DIRECTORY& directory =
      nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  DWORD offset = FileOffset(nt, bytes, directory.VirtualAddress);
  for (; offset != 0 && offset + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size();
       offset += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + offset);
    if (entry->Name == 0) break;
    const DWORD name = FileOffset(nt, bytes, entry->Name);
    if (name == 0 || name >= bytes.size()) break;
    std::string dll(bytes.data() + name, strnlen(bytes.data() + name, bytes.size() - name));
    std::transform(dll.begin(), dll.end(), dll.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    dlls.push_back(dll);
  }
  return dlls;
}

std::string ProgramPath() {
  char build[MAX_PATH * 3] = {};
  GetEnvironmentVariableA("QV_BUILD_DIR", build, sizeof(build));
  std::string path = std::string("Z:") + build + "/app/Quorvane.exe";
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

TEST(DelayLoad, TheProgramImportsNeitherShell32NorComdlg32AtStart) {
  const std::vector<std::string> dlls = LoadTimeImports(ReadBytes(ProgramPath()));
  // The reading works: the program's certain imports are there.
  ASSERT_NE(std::find(dlls.begin(), dlls.end(), "user32.dll"), dlls.end()) << ProgramPath();
  ASSERT_NE(std::find(dlls.begin(), dlls.end(), "comctl32.dll"), dlls.end());
  EXPECT_EQ(std::find(dlls.begin(), dlls.end(), "shell32.dll"), dlls.end());
  EXPECT_EQ(std::find(dlls.begin(), dlls.end(), "comdlg32.dll"), dlls.end());
}

TEST(DelayLoad, Shell32ComesAtTheFirstCallAndServesIt) {
  // The open-file dialog is linked in too, and stays away until called.
  volatile auto openDialog = &GetOpenFileNameA;
  EXPECT_NE(openDialog, nullptr);
  EXPECT_EQ(GetModuleHandleA("comdlg32.dll"), nullptr);
  ASSERT_EQ(GetModuleHandleA("shell32.dll"), nullptr);

  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  HICON icon =
      ExtractIconA(GetModuleHandleA(nullptr), (std::string(system) + "\\notepad.exe").c_str(), 0);
  EXPECT_NE(icon, nullptr);
  if (icon) DestroyIcon(icon);
  EXPECT_NE(GetModuleHandleA("shell32.dll"), nullptr);
}

}  // namespace
