// The running program's own path and the files found beside it.
#pragma once

#include <string>

// Full path of the running exe (GetModuleFileNameA, however long); empty on failure.
std::string ModulePath();
std::string ExeDirectory();  // C:\Tools for C:\Tools\App.exe
std::string ExeBaseName();   // App for C:\Tools\App.exe

std::string LanguageFilePath();      // <dir>\<base>.language
std::string HelpFilePath();          // <dir>\<base>.chm
std::string JournalDataDirectory();  // <dir>\Log\Data
std::string StoreFilePath();         // <dir>\config.xml
