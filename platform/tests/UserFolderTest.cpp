#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/RegistryStore.h"
#include "platform/TempFolder.h"
#include "platform/UserFolder.h"
#include "platform/UserFolderLock.h"
#include "platform/tests/support/ChildProcess.h"
#include "platform/tests/support/SharedFileSystem.h"

namespace {

// Sets or clears one environment variable for a test; the old value comes back after.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Apply(value);
  }
  ~ScopedEnvironment() { Apply(old_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  void Apply(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

// A working folder and a user folder of the test's own, neither made yet
// below the scratch folder's "run" and "user".
class UserFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    ASSERT_TRUE(platform::MakeFolder(scratch_ / "run"));
    ASSERT_EQ(chdir((scratch_ / "run").c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(chdir(previous_.c_str()), 0); }

  platform::ScopedTempFolder scratch_{"vyre-user-folder"};
  std::string previous_ = platform::CurrentDirectory();
  std::string user_ = scratch_ / "user";
  ScopedEnvironment userDir_{"VYRE_USER_DIR", user_};
};

TEST_F(UserFolderTest, TheEnvironmentNamesTheFolder) {
  struct Case {
    const char* name;
    std::optional<std::string> userDir, dataHome, home;
    std::string expected;
  } cases[] = {
      {"VYRE_USER_DIR wins", "/srv/test-user", "/data", "/home/player", "/srv/test-user"},
      {"XDG_DATA_HOME only", std::nullopt, "/data", "/home/player", "/data/Novaliths"},
      {"HOME only", std::nullopt, std::nullopt, "/home/player", "/home/player/.local/share/Novaliths"},
      {"empty values count as unset", "", "", "/home/player", "/home/player/.local/share/Novaliths"},
      {"a relative XDG_DATA_HOME is ignored", std::nullopt, "data", "/home/player",
       "/home/player/.local/share/Novaliths"},
  };
  for (const Case& c : cases) {
    ScopedEnvironment userDir("VYRE_USER_DIR", c.userDir);
    ScopedEnvironment dataHome("XDG_DATA_HOME", c.dataHome);
    ScopedEnvironment home("HOME", c.home);
    EXPECT_EQ(platform::UserFolder(), c.expected) << c.name;
  }
}

constexpr const char* kGameKey = "Software\\Velk Software Studio\\Novaliths";

TEST_F(UserFolderTest, WithoutHomeTheAccountsHomeIsUsed) {
  ScopedEnvironment userDir("VYRE_USER_DIR", std::nullopt);
  ScopedEnvironment dataHome("XDG_DATA_HOME", std::nullopt);
  ScopedEnvironment configHome("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnvironment registry("VYRE_REGISTRY", std::nullopt);
  ScopedEnvironment home("HOME", std::nullopt);
  const passwd* account = getpwuid(getuid());
  ASSERT_NE(account, nullptr);
  const std::string accountHome = account->pw_dir;
  EXPECT_EQ(platform::HomeFolder(), accountHome);
  EXPECT_EQ(platform::UserFolder(), accountHome + "/.local/share/Novaliths");
  EXPECT_EQ(platform::RegistryFileFor(kGameKey), accountHome + "/.config/Velk Software Studio/Novaliths.reg");
}

// An account the password database does not know, with no home in the
// environment: nothing names a place for the player's files, and nothing
// is made in the working folder in its place.
TEST_F(UserFolderTest, WithNoHomeAnywhereThereIsNoUserFolder) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to take an unknown account";
  constexpr uid_t kUnknownAccount = 54321;
  ASSERT_EQ(getpwuid(kUnknownAccount), nullptr);
  const platform::ChildEnd end = platform::RunInChild(
      [](std::string&) {
        for (const char* name : {"VYRE_USER_DIR", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "VYRE_REGISTRY", "HOME"})
          unsetenv(name);
        int failures = 0;
        failures += !platform::HomeFolder().empty();
        failures += !platform::UserFolder().empty();
        failures += !platform::UserWritePath("Profiles/a.profile").empty();
        failures += platform::UserReadPath("Settings.ini") != "Settings.ini";
        failures += !platform::RegistryFileFor(kGameKey).empty();
        failures += platform::ReplaceFileAtomically(platform::UserWritePath("Settings.ini"), "x");
        failures += platform::RegistryWrite(kGameKey, "Profile", platform::RegistryValueType::Text, "a", 1);
        return failures;
      },
      {.account = &kUnknownAccount});
  EXPECT_EQ(end.ended, "exit 0") << end.report;
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::SearchDirectory("*.*", entries));
  EXPECT_TRUE(entries.empty()) << entries.front().name;
}

TEST_F(UserFolderTest, ThePlayersOwnFileWinsEvenWhenItCannotBeOpened) {
  std::ofstream("Settings.ini") << "shipped";
  ASSERT_TRUE(platform::MakeFolder(user_));
  ASSERT_EQ(symlink("Settings.ini", (user_ + "/Settings.ini").c_str()), 0);  // a loop
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), user_ + "/Settings.ini");
}

TEST_F(UserFolderTest, OneHolderOfTheLockAtATimeAndADeadHolderHoldsNothing) {
  std::string reason;
  {
    platform::UserFolderLock first;
    ASSERT_EQ(first.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held) << reason;
    platform::UserFolderLock second;
    EXPECT_EQ(second.Acquire(user_, reason), platform::UserFolderLock::Outcome::Busy);
    first.Release();
    EXPECT_EQ(second.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held);
  }
  // Another process holds the folder until it is killed outright.
  platform::HoldingChild holder([this] {
    static platform::UserFolderLock held;  // held until the child is killed
    std::string childReason;
    return held.Acquire(user_, childReason) == platform::UserFolderLock::Outcome::Held ? 'y' : 'n';
  });
  EXPECT_EQ(holder.Answer(), 'y');
  platform::UserFolderLock mine;
  EXPECT_EQ(mine.Acquire(user_, reason), platform::UserFolderLock::Outcome::Busy);
  holder.Kill();
  EXPECT_EQ(mine.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held) << reason;
  EXPECT_FALSE(platform::PathExists(user_ + "/" + platform::UserFolderLock::kFileName))
      << "the folder carries the lock";

  // A file where the folder should be: the lock cannot be taken, and says why.
  std::ofstream(scratch_ / "plain") << "x";
  EXPECT_EQ(mine.Acquire(scratch_ / "plain", reason), platform::UserFolderLock::Outcome::Failed);
  EXPECT_FALSE(reason.empty());
}

// What a second process answers when it tries to take the folder.
platform::UserFolderLock::Outcome OutcomeInAnotherProcess(const std::string& folder) {
  const platform::ChildEnd end = platform::RunInChild([&folder](std::string&) {
    platform::UserFolderLock lock;
    std::string reason;
    return static_cast<int>(lock.Acquire(folder, reason));
  });
  if (end.ended.rfind("exit ", 0) != 0) ADD_FAILURE() << "no answer: " << end.ended;
  return static_cast<platform::UserFolderLock::Outcome>(std::atoi(end.ended.c_str() + 5));
}

// The lock is the folder's own, so nothing a run left at the old lock file's
// name (a run under sudo, a moved folder) can let a second copy in or keep
// the first one out; and what stands there is left as it is. On a network
// home only a regular file there carries the lock (a link is not followed):
// with anything else the folder cannot be locked, and its own lock is let go.
TEST_F(UserFolderTest, WhateverStandsAtTheLockFilesNameOneCopyHoldsTheFolder) {
  const std::string name = user_ + "/" + platform::UserFolderLock::kFileName;
  const std::string elsewhere = scratch_ / "elsewhere.lock";
  std::ofstream(elsewhere) << "";
  const struct Shape {
    const char* what;
    std::function<void()> make;
  } shapes[] = {
      {"a link that leads nowhere", [&] { ASSERT_EQ(symlink("gone/Novaliths.lock", name.c_str()), 0); }},
      {"a link to itself", [&] { ASSERT_EQ(symlink(platform::UserFolderLock::kFileName, name.c_str()), 0); }},
      {"a link to a file", [&] { ASSERT_EQ(symlink(elsewhere.c_str(), name.c_str()), 0); }},
      {"a folder", [&] { ASSERT_TRUE(platform::MakeFolder(name)); }},
      {"a FIFO", [&] { ASSERT_EQ(mkfifo(name.c_str(), 0644), 0); }},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.what);
    ASSERT_TRUE(platform::MakeFolder(user_));
    shape.make();
    struct stat before;
    ASSERT_EQ(lstat(name.c_str(), &before), 0);
    std::string reason;
    {
      platform::UserFolderLock first;
      ASSERT_EQ(first.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held) << reason;
      platform::UserFolderLock second;
      EXPECT_EQ(second.Acquire(user_, reason), platform::UserFolderLock::Outcome::Busy);
      EXPECT_EQ(OutcomeInAnotherProcess(user_), platform::UserFolderLock::Outcome::Busy);
    }
    EXPECT_EQ(OutcomeInAnotherProcess(user_), platform::UserFolderLock::Outcome::Held);
    {
      platform::AsIfOnASharedFileSystem network;
      platform::UserFolderLock onANetwork;
      EXPECT_EQ(onANetwork.Acquire(user_, reason), platform::UserFolderLock::Outcome::Failed);
      EXPECT_EQ(reason, "Novaliths.lock is not a regular file");
    }
    EXPECT_EQ(OutcomeInAnotherProcess(user_), platform::UserFolderLock::Outcome::Held);
    struct stat after;
    ASSERT_EQ(lstat(name.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_ino, before.st_ino);
    ASSERT_TRUE(platform::RemoveTree(user_));
  }
}

// An ordinary player's folder holding a lock file that a run as root left
// behind with no permissions: the player's runs still exclude each other.
TEST_F(UserFolderTest, ALockFileOfAnotherAccountKeepsNoCopyOut) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to leave a file of another account";
  constexpr uid_t kPlayer = 65534;
  ASSERT_TRUE(platform::MakeFolder(user_));
  const std::string name = user_ + "/" + platform::UserFolderLock::kFileName;
  std::ofstream(name) << "";
  ASSERT_EQ(chmod(name.c_str(), 0), 0);
  ASSERT_EQ(chown(scratch_.Path().c_str(), kPlayer, kPlayer), 0);
  ASSERT_EQ(chown(user_.c_str(), kPlayer, kPlayer), 0);
  const platform::ChildEnd end = platform::RunInChild(
      [&](std::string&) {
        // The account cannot open what root left: the lock must not need it.
        if (open(name.c_str(), O_RDONLY) >= 0) return 11;
        std::string reason;
        platform::UserFolderLock first;
        if (first.Acquire(user_, reason) != platform::UserFolderLock::Outcome::Held) return 12;
        platform::UserFolderLock second;
        if (second.Acquire(user_, reason) != platform::UserFolderLock::Outcome::Busy) return 13;
        first.Release();
        if (second.Acquire(user_, reason) != platform::UserFolderLock::Outcome::Held) return 14;
        return 0;
      },
      {.account = &kPlayer});
  EXPECT_EQ(end.ended, "exit 0") << "11 the file opened, 12 not held, 13 not busy, 14 not held again; " << end.report;
}

// On a network home the folder's lock is this machine's alone: a copy on
// another machine that shares the folder shows here only as the lock on its
// lock file, and keeps this one out.
TEST_F(UserFolderTest, OnANetworkFileSystemTheLockFileKeepsOutACopyOnAnotherMachine) {
  platform::AsIfOnASharedFileSystem network;
  const std::string name = user_ + "/" + platform::UserFolderLock::kFileName;
  std::string reason;
  {
    platform::UserFolderLock first;
    ASSERT_EQ(first.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held) << reason;
    struct stat info;
    ASSERT_EQ(lstat(name.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    const int probe = open(name.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_NE(flock(probe, LOCK_EX | LOCK_NB), 0) << "the lock file is not held";
    close(probe);
    platform::UserFolderLock second;
    EXPECT_EQ(second.Acquire(user_, reason), platform::UserFolderLock::Outcome::Busy);
  }
  platform::HoldingChild otherMachine([&] {
    const int fd = open(name.c_str(), O_RDWR | O_CLOEXEC);
    return fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
  });
  ASSERT_EQ(otherMachine.Answer(), 'y');
  platform::UserFolderLock mine;
  EXPECT_EQ(mine.Acquire(user_, reason), platform::UserFolderLock::Outcome::Busy);
  const int folder = open(user_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  EXPECT_EQ(flock(folder, LOCK_EX | LOCK_NB), 0) << "the refused copy kept the folder's lock";
  close(folder);
  otherMachine.Kill();
  EXPECT_EQ(mine.Acquire(user_, reason), platform::UserFolderLock::Outcome::Held) << reason;
}

// A folder its account may write in but not read cannot be opened to be
// locked: its lock file carries the lock, as on a network home. Where the
// lock file cannot be made, the folder cannot be locked.
TEST_F(UserFolderTest, WhereTheFolderCannotCarryTheLockItsLockFileDoes) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as an account that permission bits stop";
  const struct Case {
    const char* what;
    mode_t mode;
    bool network;
    const char* reason;  // empty: the lock is held
  } cases[] = {
      {"write and enter only", 0300, false, ""},
      {"write and enter only, on a network", 0300, true, ""},
      {"enter only", 0100, false, "Novaliths.lock: Permission denied"},
      {"read only, on a network", 0500, true, "Novaliths.lock: Permission denied"},
  };
  ASSERT_EQ(chown(scratch_.Path().c_str(), platform::kOrdinaryAccount, platform::kOrdinaryAccount), 0);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string folder = scratch_ / ("user-" + std::to_string(c.mode) + (c.network ? "-network" : ""));
    ASSERT_TRUE(platform::MakeFolder(folder));
    ASSERT_EQ(chown(folder.c_str(), platform::kOrdinaryAccount, platform::kOrdinaryAccount), 0);
    ASSERT_EQ(chmod(folder.c_str(), c.mode), 0);
    const std::string report = platform::ReportFromChild(
        [&]() -> std::string {
          std::optional<platform::AsIfOnASharedFileSystem> network;
          if (c.network) network.emplace();
          std::string reason;
          platform::UserFolderLock first;
          const platform::UserFolderLock::Outcome outcome = first.Acquire(folder, reason);
          if (*c.reason != '\0') {
            return outcome == platform::UserFolderLock::Outcome::Failed && reason == c.reason
                       ? ""
                       : "not refused as expected: " + reason + "\n";
          }
          if (outcome != platform::UserFolderLock::Outcome::Held) return "not held: " + reason + "\n";
          platform::UserFolderLock second;
          if (second.Acquire(folder, reason) != platform::UserFolderLock::Outcome::Busy)
            return "a second copy got in\n";
          first.Release();
          if (second.Acquire(folder, reason) != platform::UserFolderLock::Outcome::Held) return "not held again\n";
          return "";
        },
        &platform::kOrdinaryAccount);
    EXPECT_EQ(report, "");
    EXPECT_EQ(platform::PathExists(folder + "/" + platform::UserFolderLock::kFileName), *c.reason == '\0');
  }
}

TEST_F(UserFolderTest, TheFileSystemsOtherMachinesShareAreKnownByTheirType) {
  const struct {
    const char* what;
    int64_t type;
    bool shared;
  } cases[] = {
      {"NFS", 0x6969, true},          {"SMB2", 0xFE534D42, true},   {"CIFS", 0xFF534D42, true},
      {"FUSE", 0x65735546, true},     {"Ceph", 0x00C36400, true},   {"ext4", 0xEF53, false},
      {"tmpfs", 0x01021994, false},   {"btrfs", 0x9123683E, false}, {"XFS", 0x58465342, false},
      {"overlay", 0x794C7630, false},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::UserFolderLock::IsSharedFileSystemType(c.type), c.shared) << c.what;
}

// A run that could not take its user folder keeps out of it: every way the
// program writes, removes or moves a player's file is refused there, however
// the path is spelled, and works as before anywhere else.
TEST_F(UserFolderTest, ARunThatKeepsOutOfTheUserFolderChangesNothingInIt) {
  ASSERT_TRUE(platform::MakeParentFolders(user_ + "/Profiles/"));
  const std::string settings = user_ + "/Settings.ini";
  std::ofstream(settings) << "kept";
  std::ofstream(user_ + "/Profiles/bob.profile") << "bob";
  std::ofstream(user_ + "/Profiles/bob.profile.tmpA1b2C3") << "another copy's save";
  const std::string store = scratch_ / "store.reg";
  const std::string report = platform::ReportFromChild([&] {
    setenv("VYRE_REGISTRY", store.c_str(), 1);
    std::string failures;
    auto expect = [&](bool held, const std::string& what) {
      if (!held) failures += what + "\n";
    };
    expect(!platform::KeepsOutOfUserFolder(), "kept out from the start");
    platform::KeepOutOfUserFolder();
    expect(platform::KeepsOutOfUserFolder(), "keeps out");
    for (const std::string& spelling :
         {settings, std::string("../user/Settings.ini"), user_ + "//Profiles/../Settings.ini",
          user_ + "/./SETTINGS.INI", user_ + "\\Settings.ini", user_ + "/00000000.dat"}) {
      std::string reason;
      expect(!platform::ReplaceFileAtomically(spelling, "new", &reason) && !reason.empty(), "replaced " + spelling);
    }
    platform::UserWritePath("Vyre\\GUI.TXT");
    expect(!platform::MakeFolder(user_ + "/Logs"), "made Logs");
    expect(platform::MakeFolder(user_ + "/Profiles"), "a folder that is there is not there");
    expect(!platform::RemoveFile(user_ + "/Profiles/bob.profile"), "removed a profile");
    std::string reason;
    expect(platform::MoveAside(settings, ".damaged", reason).empty() && !reason.empty(), "moved a file aside");
    expect(platform::RemoveStaleTemporaries(user_ + "/Profiles/*") == 0, "removed another copy's temporary");
    // A stream that writes would truncate or add to a player's file; one that reads may open.
    for (const char* mode : {"w", "ab", "r+"}) {
      std::FILE* stream = nullptr;
      expect(platform::OpenFileStream(settings, mode, stream, reason) == platform::FileOpen::Refused &&
                 stream == nullptr && !reason.empty(),
             std::string("opened the settings with ") + mode);
    }
    std::FILE* reading = nullptr;
    expect(platform::OpenFileStream(settings, "r", reading, reason) == platform::FileOpen::Opened, "read refused");
    if (reading != nullptr) std::fclose(reading);
    const char value[] = "bob";
    expect(!platform::RegistryWrite(kGameKey, "Profile", platform::RegistryValueType::Text, value, 3),
           "wrote the store");
    // Beside the user folder, and in a folder whose name only starts like it.
    expect(platform::ReplaceFileAtomically(scratch_ / "run/notes.txt", "x"), "no write elsewhere");
    std::FILE* elsewhere = nullptr;
    expect(platform::OpenFileStream(scratch_ / "run/notes.txt", "a", elsewhere, reason) == platform::FileOpen::Opened,
           "no stream elsewhere");
    if (elsewhere != nullptr) std::fclose(elsewhere);
    expect(platform::RemoveFile(scratch_ / "run/notes.txt"), "no removal elsewhere");
    expect(platform::MakeParentFolders(user_ + "2/Profiles/a.profile"), "no folder beside it");
    return failures;
  });
  EXPECT_EQ(report, "");
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::SearchDirectory(user_ + "/*", entries));
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Profiles", "Settings.ini"}));
  entries.clear();
  ASSERT_TRUE(platform::SearchDirectory(user_ + "/Profiles/*", entries));
  EXPECT_EQ(entries.size(), 2u);
  std::string contents, why;
  ASSERT_EQ(platform::ReadFileBytes(settings, 100, contents, why), platform::FileRead::Read);
  EXPECT_EQ(contents, "kept");
  EXPECT_FALSE(platform::PathExists(store));
  EXPECT_FALSE(platform::KeepsOutOfUserFolder()) << "only the child kept out";
}

TEST_F(UserFolderTest, AReadCreatesNothingAndFallsBackToTheWorkingFolder) {
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), "Settings.ini");
  EXPECT_FALSE(platform::PathExists(user_)) << "a read made the user folder";

  // A default shipped in the run folder is read, matched ignoring case,
  // until the player has a copy of their own.
  std::ofstream("settings.INI") << "shipped";
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), "settings.INI");
  ASSERT_TRUE(platform::MakeFolder(user_));
  std::ofstream(user_ + "/Settings.ini") << "own";
  EXPECT_EQ(platform::UserReadPath("Settings.ini"), user_ + "/Settings.ini");
}

TEST_F(UserFolderTest, AWriteCreatesTheUserFolderAndTheFileSubFolders) {
  // A fresh user folder lacks "Vyre"; the path made for the layout has it.
  const std::string layout = platform::UserWritePath("Vyre\\GUI.TXT");
  EXPECT_EQ(layout, user_ + "/Vyre/GUI.TXT");
  EXPECT_TRUE(platform::IsFolder(user_ + "/Vyre"));
  ASSERT_TRUE(platform::ReplaceFileAtomically(layout, "[GUI]"));
  EXPECT_EQ(platform::UserReadPath("Vyre//GUI.TXT"), user_ + "/Vyre//GUI.TXT");
  EXPECT_FALSE(platform::PathExists("Vyre")) << "nothing lands in the working folder";

  // A nested user folder is made whole.
  ScopedEnvironment nested("VYRE_USER_DIR", scratch_ / "a/b/c");
  EXPECT_EQ(platform::UserWritePath("Settings.ini"), scratch_ / "a/b/c/Settings.ini");
  EXPECT_TRUE(platform::IsFolder(scratch_ / "a/b/c"));
}

TEST_F(UserFolderTest, AnAbsolutePathNamesItsOwnPlace) {
  const std::string elsewhere = scratch_ / "elsewhere/Settings.ini";
  EXPECT_EQ(platform::UserWritePath(elsewhere), elsewhere);
  EXPECT_EQ(platform::UserReadPath(elsewhere), elsewhere);
  EXPECT_FALSE(platform::PathExists(scratch_ / "elsewhere"));
  EXPECT_FALSE(platform::PathExists(user_));
}

}  // namespace
