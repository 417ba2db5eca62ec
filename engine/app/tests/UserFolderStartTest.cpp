// A run takes its user folder before it touches any file: one copy of the
// program per folder, a place for the player's files or no run at all, and
// no leftovers of saves that were killed mid-way.

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/app/UserFolderStart.h"
#include "engine/app/tests/support/UntakeableRun.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/runtime/settings/Registry.h"
#include "engine/runtime/settings/Settings.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "platform/UserFolder.h"
#include "platform/UserFolderLock.h"
#include "platform/tests/support/ChildProcess.h"

namespace {

class UserFolderStart : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(platform::MakeFolder(user_));
    setenv("VYRE_USER_DIR", user_.c_str(), 1);
    setenv("VYRE_REGISTRY", registry_.c_str(), 1);
  }
  void TearDown() override {
    setenv("VYRE_USER_DIR", previousUser_.c_str(), 1);
    setenv("VYRE_REGISTRY", previousRegistry_.c_str(), 1);
  }
  static std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
  }
  std::vector<std::string> Names(const std::string& folder) {
    std::vector<platform::DirectoryEntry> entries;
    platform::SearchDirectory(folder + "/*", entries);
    std::vector<std::string> names;
    for (const auto& entry : entries) names.push_back(entry.name);
    return names;
  }

  platform::ScopedTempFolder scratch_{"vyre-user-folder-start"};
  std::string user_ = scratch_ / "user";
  std::string registry_ = scratch_ / "store/Novaliths.reg";
  std::string previousUser_ = Environment("VYRE_USER_DIR");
  std::string previousRegistry_ = Environment("VYRE_REGISTRY");
};

TEST_F(UserFolderStart, ASecondCopySaysSoAndEndsWithStatus1) {
  platform::UserFolderLock running;
  platform::UserFolderLock second;
  ASSERT_EQ(TakeUserFolder("Novaliths", running), 0);
  setenv("VYRE_MESSAGEBOX", "ok", 1);
  testing::internal::CaptureStderr();
  EXPECT_EQ(TakeUserFolder("Novaliths", second), 1);
  const std::string said = testing::internal::GetCapturedStderr();
  const std::string line = "Novaliths is already running with the user folder " + user_ + ".";
  EXPECT_NE(said.find(line + "\n"), std::string::npos) << said;
  EXPECT_NE(said.find("[MessageBox] Novaliths : " + line + " -> OK"), std::string::npos) << said;
  EXPECT_TRUE(Names(user_).empty()) << "the folder itself carries the lock";

  // Once the first has gone the folder is free again.
  running.Release();
  EXPECT_EQ(TakeUserFolder("Novaliths", second), 0);
}

TEST_F(UserFolderStart, TemporariesOfKilledSavesGoAndThePlayersFilesStay) {
  ASSERT_TRUE(platform::MakeFolder(user_ + "/Profiles"));
  ASSERT_TRUE(platform::MakeFolder(user_ + "/Vyre"));
  ASSERT_TRUE(platform::MakeFolder(scratch_ / "store"));
  for (const std::string name :
       {"00000000.dat", "00000000.dat.tmpA1b2C3", "Settings.ini.tmpzzzzzz", "notes.tmp", "Profiles/bob.profile",
        "Profiles/bob.profile.tmp0aZ9yX", "Vyre/GUI.TXT.tmpQwErTy", "Vyre/GUI.TXT"})
    std::ofstream(user_ + "/" + name) << "x";
  std::ofstream(registry_ + ".tmp123abc") << "x";
  std::ofstream(registry_) << "x";
  platform::UserFolderLock lock;
  ASSERT_EQ(TakeUserFolder("Novaliths", lock), 0);
  EXPECT_EQ(Names(user_), (std::vector<std::string>{"00000000.dat", "Profiles", "Vyre", "notes.tmp"}));
  EXPECT_EQ(Names(user_ + "/Profiles"), std::vector<std::string>{"bob.profile"});
  EXPECT_EQ(Names(user_ + "/Vyre"), std::vector<std::string>{"GUI.TXT"});
  EXPECT_EQ(Names(scratch_ / "store"), std::vector<std::string>{"Novaliths.reg"});
}

// A run as root left a link to its own lock file behind, which leads nowhere
// now: the folder is still taken by one copy at a time, and the second one
// says so and ends.
TEST_F(UserFolderStart, ALinkThatLeadsNowhereAtTheLockFilesNameKeepsASecondCopyOut) {
  const std::string name = user_ + "/" + platform::UserFolderLock::kFileName;
  ASSERT_EQ(symlink("/root/gone/Novaliths.lock", name.c_str()), 0);
  platform::HoldingChild firstCopy([] {
    static platform::UserFolderLock lock;  // held until the child is killed
    return TakeUserFolder("Novaliths", lock) == 0 ? 'y' : 'n';
  });
  EXPECT_EQ(firstCopy.Answer(), 'y');
  setenv("VYRE_MESSAGEBOX", "ok", 1);
  testing::internal::CaptureStderr();
  platform::UserFolderLock secondCopy;
  EXPECT_EQ(TakeUserFolder("Novaliths", secondCopy), 1);
  const std::string said = testing::internal::GetCapturedStderr();
  firstCopy.Kill();
  EXPECT_NE(said.find("Novaliths is already running with the user folder " + user_ + ".\n"), std::string::npos) << said;
  struct stat link;
  EXPECT_EQ(lstat(name.c_str(), &link), 0);
  EXPECT_TRUE(S_ISLNK(link.st_mode)) << "what stands there is left alone";
}

// A folder the run cannot take (see UntakeableUserFolders.h): the run goes
// on, says once on the terminal and once in a box that nothing will be saved,
// and then keeps to it: the settings, the window layout and the registry
// store are not written, the temporary of another copy's save stays, and no
// failed save adds a line to the terminal.
TEST_F(UserFolderStart, AFolderThatCannotBeTakenIsPlayedWithoutSavingAndSaidOnce) {
  PlayInEveryUntakeableFolder(scratch_.Path(), [] {
    std::string failures;
    CSettings* settings = GetSettings();
    settings->SetTitle(String("Novaliths"));
    settings->SetIniName(String("Settings.ini"));
    if (settings->Save(true)) failures += "the settings were saved\n";
    if (RegistryWriteValue("Profile", 0, "bob", 3)) failures += "the store was written\n";
    if (GetWindowManager()->WriteLayout(platform::UserWritePath("Vyre//GUI.TXT").c_str()))
      failures += "the layout was written\n";
    return failures;
  });
}

// A folder its account may write in but not read is taken through its lock
// file: the run says nothing, saves as it would anywhere, and clears what
// killed saves left in the folders it can list.
TEST_F(UserFolderStart, AFolderItsAccountCannotReadIsTakenAndSavedIn) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as an account that permission bits stop";
  const uid_t account = platform::kOrdinaryAccount;
  ASSERT_TRUE(platform::MakeFolder(user_ + "/Profiles"));
  ASSERT_TRUE(platform::MakeFolder(scratch_ / "store"));
  std::ofstream(user_ + "/Profiles/bob.profile.tmp0aZ9yX") << "a killed save";
  for (const std::string& path : {scratch_.Path(), user_, user_ + "/Profiles", scratch_ / "store"})
    ASSERT_EQ(chown(path.c_str(), account, account), 0) << path;
  ASSERT_EQ(chmod(user_.c_str(), 0300), 0);
  platform::ChildOptions options;
  options.account = &account;
  options.captureTerminal = true;
  const platform::ChildEnd end = platform::RunInChild(
      [](std::string& report) {
        setenv("VYRE_MESSAGEBOX", "ok", 1);
        platform::UserFolderLock lock;
        if (TakeUserFolder("Novaliths", lock) != 0 || platform::KeepsOutOfUserFolder()) report += "not taken\n";
        CSettings* settings = GetSettings();
        settings->SetTitle(String("Novaliths"));
        settings->SetIniName(String("Settings.ini"));
        if (!settings->Save(true)) report += "the settings were not saved\n";
        if (!RegistryWriteValue("Profile", 0, "bob", 3)) report += "the store was not written\n";
        if (!GetWindowManager()->WriteLayout(platform::UserWritePath("Vyre//GUI.TXT").c_str()))
          report += "the layout was not written\n";
        return 0;
      },
      options);
  EXPECT_EQ(end.ended, "exit 0");
  EXPECT_EQ(end.report, "");
  EXPECT_EQ(end.terminal, "");
  EXPECT_EQ(Names(user_), (std::vector<std::string>{"Novaliths.lock", "Profiles", "Settings.ini", "Vyre"}));
  EXPECT_TRUE(Names(user_ + "/Profiles").empty());
  EXPECT_EQ(Names(user_ + "/Vyre"), std::vector<std::string>{"GUI.TXT"});
  EXPECT_EQ(Names(scratch_ / "store"), std::vector<std::string>{"Novaliths.reg"});
}

// Started without HOME by an account the password database does not know:
// nowhere to keep the player's files, and the working folder is not taken.
TEST_F(UserFolderStart, WithNoHomeTheRunEndsAtOnceAndWritesNothing) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to take an unknown account";
  constexpr uid_t kUnknownAccount = 54321;
  ASSERT_EQ(getpwuid(kUnknownAccount), nullptr);
  ASSERT_TRUE(platform::MakeFolder(scratch_ / "run"));
  // The run folder is where the account may go, as a player's would be.
  ASSERT_EQ(chmod(scratch_.Path().c_str(), 0755), 0);
  const platform::ChildEnd end = platform::RunInChild(
      [&](std::string&) {
        if (chdir((scratch_ / "run").c_str()) != 0) return 10;
        for (const char* name : {"VYRE_USER_DIR", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "VYRE_REGISTRY", "HOME"})
          unsetenv(name);
        platform::UserFolderLock lock;
        return TakeUserFolder("Novaliths", lock);
      },
      {.account = &kUnknownAccount});
  EXPECT_EQ(end.ended, "exit 1") << end.report;
  EXPECT_TRUE(Names(scratch_ / "run").empty());
}

}  // namespace
