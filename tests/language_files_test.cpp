// The translations folder on real files: which translations are offered under which names, which
// one is in use, and choosing one without ever leaving the program's language file half-made.
#include "store/language_files.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/fault_plan.h"
#include "support/faulty_platform.h"
#include "support/temp_folder.h"

namespace {

const char kGerman[] = "[String]\r\n_LanguageName=Deutsch\r\n_File=&Datei\r\n";
const char kEnglish[] = "[String]\r\n_LanguageName=English\r\n_File=&File\r\n";

class LanguageFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Put("de\\Quorvane.language", kGerman);
    Put("en\\Quorvane.language", kEnglish);
    Put("aa\\Other name.language", "[String]\r\n_File=&Fichier\r\n");  // names no language
    Put("fr\\notes.txt", "not a language file");
    Put("stray.language", kGerman);  // not in a folder of its own
    CreateDirectoryA((folder_ / "languages\\empty").c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(active_, kEnglish));
  }
  void Put(const std::string& relative, const std::string& content) {
    const std::string path = languages_ + "\\" + relative;
    CreateDirectoryA(languages_.c_str(), nullptr);
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(path, content)) << path;
  }
  std::vector<std::string> Names(const std::vector<LanguageOption>& options) {
    std::vector<std::string> names;
    for (const LanguageOption& option : options) {
      names.push_back(option.name + (option.current ? " *" : ""));
    }
    return names;
  }
  bool TemporaryLeft() const {
    return GetFileAttributesA((active_ + ".new").c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  TempFolder folder_{"qv-languages"};
  std::string languages_ = folder_ / "languages";
  std::string active_ = folder_ / "Quorvane.language";
  Win32FileSystem real_;
  FaultPlan plan_;
  FaultyFileSystem files_{real_, plan_};
  LanguageFiles languages{files_, languages_, active_};
};

TEST_F(LanguageFilesTest, OffersEachFolderByItsLanguagesNameAndMarksTheOneInUse) {
  const std::vector<LanguageOption> options = languages.Scan();
  // Sorted without regard to case; a file without a name goes by its folder's.
  EXPECT_EQ(Names(options), (std::vector<std::string>{"aa", "Deutsch", "English *"}));
  ASSERT_EQ(options.size(), 3u);
  EXPECT_EQ(options[0].file, languages_ + "\\aa\\Other name.language");
  EXPECT_EQ(options[1].file, languages_ + "\\de\\Quorvane.language");

  // In use means the same bytes: a changed file beside the exe is none of them.
  ASSERT_TRUE(WriteBytes(active_, std::string(kEnglish) + "_Extra=1\r\n"));
  EXPECT_EQ(Names(languages.Scan()), (std::vector<std::string>{"aa", "Deutsch", "English"}));
  DeleteFileA(active_.c_str());
  EXPECT_EQ(Names(languages.Scan()), (std::vector<std::string>{"aa", "Deutsch", "English"}));

  LanguageFiles missing(files_, folder_ / "no such folder", active_);
  EXPECT_TRUE(missing.Scan().empty());
}

TEST_F(LanguageFilesTest, ChoosingReplacesTheFileBesideTheExe) {
  const std::string german = languages_ + "\\de\\Quorvane.language";
  plan_.Arm(FaultPlan::Mode::kNone, 0);
  ASSERT_TRUE(languages.Choose(german));
  EXPECT_EQ(ReadBytes(active_), kGerman);
  EXPECT_EQ(ReadBytes(german), kGerman);  // the translation itself stays
  EXPECT_FALSE(TemporaryLeft());
  // The rename, not a copy in place: the only file call the choice makes.
  EXPECT_EQ(plan_.calls, (std::vector<std::string>{"FileSystem::ReplaceFile"}));
  EXPECT_EQ(Names(languages.Scan()), (std::vector<std::string>{"aa", "Deutsch *", "English"}));
}

// Every way the choice can fail leaves the file in use as it was and no temporary file behind,
// and says why.
TEST_F(LanguageFilesTest, AFailedChoiceKeepsTheFileInUse) {
  const std::string german = languages_ + "\\de\\Quorvane.language";

  const Status missing = languages.Choose(languages_ + "\\xx\\Quorvane.language");
  EXPECT_FALSE(missing);
  EXPECT_TRUE(missing.Code() == ERROR_FILE_NOT_FOUND || missing.Code() == ERROR_PATH_NOT_FOUND)
      << missing.Code();

  plan_.Arm(FaultPlan::Mode::kFail, 1);  // the rename
  plan_.FailWith(ERROR_ACCESS_DENIED);
  EXPECT_EQ(languages.Choose(german).Code(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadBytes(active_), kEnglish);
  EXPECT_FALSE(TemporaryLeft());
  plan_.Disarm();

  // The file in use held open without sharing, as another program might.
  HANDLE held = CreateFileA(active_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const Status busy = languages.Choose(german);
  CloseHandle(held);
  EXPECT_FALSE(busy);
  EXPECT_EQ(ReadBytes(active_), kEnglish);
  EXPECT_FALSE(TemporaryLeft());
}

}  // namespace
