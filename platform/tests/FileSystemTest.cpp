#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "platform/AtomicFile.h"
#include "platform/DynamicLibrary.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "platform/Time.h"
#include "platform/tests/support/FifoWatch.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Names(const std::vector<platform::DirectoryEntry>& entries) {
  std::string names;
  for (const auto& entry : entries) names += entry.name + (entry.isFolder ? "/ " : " ");
  return names;
}

TEST(DirectorySearch, WildcardsMatchIgnoringCaseAndSkipDotNames) {
  platform::ScopedTempFolder root("vyre-search");
  for (const char* name : {"b.profile", "A.PROFILE", "notes.txt", "README", ".hidden"})
    std::ofstream(root / name) << "x";
  ASSERT_TRUE(platform::MakeFolder(root / "Sub"));

  struct Case {
    const char* pattern;
    const char* names;
  };
  const Case cases[] = {
      {"/*.*", "A.PROFILE README Sub/ b.profile notes.txt "},
      {"/*", "A.PROFILE README Sub/ b.profile notes.txt "},
      {"/*.profile", "A.PROFILE b.profile "},
      {"\\?.PROFILE", "A.PROFILE b.profile "},
      {"/readme", "README "},
      {"/*.none", ""},
  };
  std::vector<platform::DirectoryEntry> entries;
  for (const Case& c : cases) {
    EXPECT_TRUE(platform::SearchDirectory(root.Path() + c.pattern, entries)) << c.pattern;
    EXPECT_EQ(Names(entries), c.names) << c.pattern;
  }
  EXPECT_FALSE(platform::SearchDirectory(root / "missing/*.*", entries));
  EXPECT_TRUE(entries.empty());
}

TEST(Folders, MakeFolderNeedsAParentAndAcceptsExisting) {
  platform::ScopedTempFolder root("vyre-folders");
  EXPECT_TRUE(platform::MakeFolder(root / "Logs"));
  EXPECT_TRUE(platform::MakeFolder(root / "logs"));  // exists, found ignoring case
  EXPECT_TRUE(platform::IsFolder(root / "Logs"));
  EXPECT_FALSE(platform::MakeFolder(root / "No/Parent"));
  std::ofstream(root / "file") << "x";
  EXPECT_FALSE(platform::MakeFolder(root / "file"));

  uint64_t bytes = 0;
  EXPECT_TRUE(platform::FileSizeOnDisk(root / "FILE", bytes));
  EXPECT_EQ(bytes, 1u);
  EXPECT_FALSE(platform::FileSizeOnDisk(root / "missing", bytes));
  EXPECT_TRUE(platform::RemoveFile(root / "file"));
  EXPECT_FALSE(platform::PathExists(root / "file"));
}

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporaryFile) {
  platform::ScopedTempFolder root("vyre-atomic");
  const std::string path = root / "Settings.ini";
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, "old"));
  ASSERT_TRUE(platform::ReplaceFileAtomically(path, std::string_view("new\0bytes", 9)));
  EXPECT_EQ(ReadAll(path), std::string("new\0bytes", 9));
  std::vector<platform::DirectoryEntry> entries;
  platform::SearchDirectory(root / "*.*", entries);
  EXPECT_EQ(Names(entries), "Settings.ini ");

  // A folder that does not exist: failure reported, nothing written.
  EXPECT_FALSE(platform::ReplaceFileAtomically(root / "missing/x.ini", "data"));
}

TEST(AtomicFile, AFailedWriteSaysWhy) {
  platform::ScopedTempFolder root("vyre-atomic-reason");
  std::string reason;
  EXPECT_FALSE(platform::ReplaceFileAtomically(root / "missing/x.ini", "data", &reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_FALSE(platform::ReplaceFileAtomically("", "data", &reason));
  // What stands in the file's place and is no file is never replaced.
  ASSERT_TRUE(platform::MakeFolder(root / "folder"));
  ASSERT_EQ(mkfifo((root / "fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("loop", (root / "loop").c_str()), 0);
  struct Case {
    const char* name;
    const char* reason;
  } cases[] = {
      {"folder", "Is a directory"},
      {"fifo", "not a regular file"},
      {"loop", "Too many levels of symbolic links"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(platform::ReplaceFileAtomically(root / c.name, "data", &reason)) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
  }
  struct stat info;
  EXPECT_TRUE(lstat((root / "fifo").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
  EXPECT_TRUE(lstat((root / "loop").c_str(), &info) == 0 && S_ISLNK(info.st_mode));
  std::vector<platform::DirectoryEntry> entries;
  platform::SearchDirectory(root / "*.*", entries);
  EXPECT_EQ(Names(entries), "fifo folder/ loop ");
}

// A regular file the program could not read (for a player: no read
// permission, a disk error) is made here by reading while a folder stands in
// its place, then putting the file there: root reads whatever permissions say.
TEST(AtomicFile, AFileTheLastReadCouldNotReadIsNeverReplaced) {
  platform::ScopedTempFolder root("vyre-atomic-kept");
  const std::string path = root / "Settings.ini";
  ASSERT_TRUE(platform::MakeFolder(path));
  std::string bytes;
  std::string reason;
  ASSERT_EQ(platform::ReadFileBytes(path, 64, bytes, reason), platform::FileRead::Unreadable);
  ASSERT_EQ(rmdir(path.c_str()), 0);
  std::ofstream(path) << "the player's";
  EXPECT_TRUE(platform::WasFoundUnreadable(path));
  EXPECT_FALSE(platform::ReplaceFileAtomically(path, "defaults", &reason));
  EXPECT_EQ(reason, "it is there but could not be read, so it is kept as it is");
  ASSERT_EQ(platform::ReadFileBytes(path, 64, bytes, reason), platform::FileRead::Read);
  EXPECT_EQ(bytes, "the player's");
  // Once a read succeeds the file is the program's to save again.
  EXPECT_TRUE(platform::ReplaceFileAtomically(path, "saved", &reason)) << reason;
  ASSERT_EQ(platform::ReadFileBytes(path, 64, bytes, reason), platform::FileRead::Read);
  EXPECT_EQ(bytes, "saved");
}

TEST(AtomicFile, StaleTemporariesOfMatchingFilesGoAndNothingElse) {
  platform::ScopedTempFolder root("vyre-stale");
  for (const char* name : {"a.profile.tmpAb12Cd", "b.profile.tmpXYZ789", "b.profile", "a.profile.tmpAb12C",
                           "a.profile.tmp-b12Cd", "notes.txt.tmpAb12Cd", "a.profile.tmpAb12Cde"})
    std::ofstream(root / name) << "x";
  ASSERT_TRUE(platform::MakeFolder(root / "c.profile.tmpFolder"));
  EXPECT_EQ(platform::RemoveStaleTemporaries(root / "*.profile"), 2);
  std::vector<platform::DirectoryEntry> entries;
  platform::SearchDirectory(root / "*.*", entries);
  EXPECT_EQ(Names(entries),
            "a.profile.tmp-b12Cd a.profile.tmpAb12C a.profile.tmpAb12Cde b.profile c.profile.tmpFolder/ "
            "notes.txt.tmpAb12Cd ");
  EXPECT_EQ(platform::RemoveStaleTemporaries(root / "missing/*.profile"), 0);
}

TEST(ReadFile, EveryShapeOfFileGivesItsAnswerAtOnce) {
  platform::ScopedTempFolder root("vyre-read");
  std::ofstream(root / "file") << "0123456789";
  ASSERT_TRUE(platform::MakeFolder(root / "folder"));
  ASSERT_EQ(mkfifo((root / "fifo").c_str(), 0644), 0);
  ASSERT_EQ(symlink("loop", (root / "loop").c_str()), 0);
  struct Case {
    const char* name;
    size_t maxBytes;
    platform::FileRead result;
    const char* bytes;
    const char* reason;
  } cases[] = {
      {"file", 100, platform::FileRead::Read, "0123456789", ""},
      {"FILE", 4, platform::FileRead::Read, "0123", ""},
      {"missing", 100, platform::FileRead::Missing, "", "No such file or directory"},
      {"folder", 100, platform::FileRead::Unreadable, "", "Is a directory"},
      {"fifo", 100, platform::FileRead::Unreadable, "", "not a regular file"},
      {"loop", 100, platform::FileRead::Unreadable, "", "Too many levels of symbolic links"},
      {"file/below", 100, platform::FileRead::Unreadable, "", "Not a directory"},
  };
  for (const Case& c : cases) {
    std::string bytes = "old";
    std::string reason;
    EXPECT_EQ(platform::ReadFileBytes(root / c.name, c.maxBytes, bytes, reason), c.result) << c.name;
    EXPECT_EQ(bytes, c.bytes) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
  }
}

// A socket bound at the path, as a program serving one would leave it.
bool MakeSocket(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

TEST(OpenFile, OnlyARegularFileOpensAndNothingElseIsWaitedOn) {
  platform::ScopedTempFolder root("vyre-open");
  std::ofstream(root / "file") << "0123456789";
  ASSERT_TRUE(platform::MakeFolder(root / "folder"));
  ASSERT_EQ(symlink("loop", (root / "loop").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (root / "dangling").c_str()), 0);
  ASSERT_EQ(symlink("/dev/null", (root / "device").c_str()), 0);
  ASSERT_TRUE(MakeSocket(root / "socket"));
  platform::FifoWatch fifo({root / "fifo"});
  ASSERT_TRUE(fifo.Made());
  using platform::FileOpen;
  struct Case {
    const char* name;
    const char* mode;
    FileOpen result;
    const char* reason;
  } cases[] = {
      {"FILE", "rb", FileOpen::Opened, ""},
      {"file", "a+", FileOpen::Opened, ""},
      {"missing", "r", FileOpen::Missing, "No such file or directory"},
      {"dangling", "rb", FileOpen::Missing, "No such file or directory"},
      {"missing/new", "wb", FileOpen::Missing, "No such file or directory"},
      {"folder", "rb", FileOpen::Refused, "Is a directory"},
      {"folder", "w", FileOpen::Refused, "Is a directory"},
      {"fifo", "rb", FileOpen::Refused, "not a regular file"},
      {"fifo", "wb", FileOpen::Refused, "not a regular file"},
      {"fifo", "a", FileOpen::Refused, "not a regular file"},
      {"fifo", "r+", FileOpen::Refused, "not a regular file"},
      {"socket", "rb", FileOpen::Refused, "not a regular file"},
      {"socket", "wb", FileOpen::Refused, "not a regular file"},
      {"device", "rb", FileOpen::Refused, "not a regular file"},
      {"device", "wb", FileOpen::Refused, "not a regular file"},
      {"loop", "rb", FileOpen::Refused, "Too many levels of symbolic links"},
      {"file/below", "rb", FileOpen::Refused, "Not a directory"},
      {"file", "x", FileOpen::Refused, "Invalid argument"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.mode);
    FILE* stream = reinterpret_cast<FILE*>(1);
    std::string reason = "old";
    EXPECT_EQ(platform::OpenFileStream(root / c.name, c.mode, stream, reason), c.result);
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(stream != nullptr, c.result == FileOpen::Opened);
    if (stream != nullptr) std::fclose(stream);
  }
  EXPECT_FALSE(fifo.Waited());

  // An opened file reads and writes as fopen's stream would.
  FILE* stream = nullptr;
  std::string reason;
  ASSERT_EQ(platform::OpenFileStream(root / "new", "w", stream, reason), FileOpen::Opened);
  std::fputs("written", stream);
  std::fclose(stream);
  ASSERT_EQ(platform::OpenFileStream(root / "new", "a", stream, reason), FileOpen::Opened);
  std::fputs(" twice", stream);
  std::fclose(stream);
  EXPECT_EQ(ReadAll(root / "new"), "written twice");
  ASSERT_EQ(platform::OpenFileStream(root / "file", "r", stream, reason), FileOpen::Opened);
  char bytes[4] = {};
  EXPECT_EQ(std::fread(bytes, 1, 3, stream), 3u);
  EXPECT_STREQ(bytes, "012");
  std::fclose(stream);
  // Refused for writing, the device, the FIFO and the socket are still there.
  struct stat info;
  EXPECT_TRUE(lstat((root / "fifo").c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
  EXPECT_TRUE(lstat((root / "socket").c_str(), &info) == 0 && S_ISSOCK(info.st_mode));
  EXPECT_TRUE(stat("/dev/null", &info) == 0 && S_ISCHR(info.st_mode));
}

TEST(CheckFolder, AFolderIsReadableMissingOrUnreadableWithTheReason) {
  platform::ScopedTempFolder root("vyre-check-folder");
  ASSERT_TRUE(platform::MakeFolder(root / "Resources"));
  std::ofstream(root / "file") << "x";
  ASSERT_EQ(symlink("loop", (root / "loop").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (root / "dangling").c_str()), 0);
  using platform::FolderRead;
  struct Case {
    const char* name;
    FolderRead result;
    const char* reason;
  } cases[] = {
      {"resources", FolderRead::Readable, ""},
      {"missing", FolderRead::Missing, "No such file or directory"},
      {"dangling", FolderRead::Missing, "No such file or directory"},
      {"file", FolderRead::Missing, "Not a directory"},
      {"loop", FolderRead::Unreadable, "Too many levels of symbolic links"},
  };
  for (const Case& c : cases) {
    std::string reason = "old";
    EXPECT_EQ(platform::CheckFolder(root / c.name, reason), c.result) << c.name;
    EXPECT_EQ(reason, c.reason) << c.name;
  }
}

TEST(MoveAside, NeverOverAnEarlierCopy) {
  platform::ScopedTempFolder root("vyre-aside");
  const std::string path = root / "00000000.dat";
  std::string reason;
  for (const char* bytes : {"first", "second", "third"}) {
    std::ofstream(path) << bytes;
    EXPECT_FALSE(platform::MoveAside(path, ".damaged", reason).empty()) << reason;
  }
  EXPECT_FALSE(platform::PathExists(path));
  EXPECT_EQ(ReadAll(path + ".damaged"), "first");
  EXPECT_EQ(ReadAll(path + ".damaged.1"), "second");
  EXPECT_EQ(ReadAll(path + ".damaged.2"), "third");
  EXPECT_EQ(platform::MoveAside(path, ".damaged", reason), "");
  EXPECT_EQ(reason, "No such file or directory");
}

TEST(Time, CountersAreMonotonicAndSleepWaits) {
  uint64_t counterBefore = platform::HighResCounter();
  uint32_t tickBefore = platform::TickCountMs();
  platform::SleepMs(20);
  uint64_t elapsed = platform::HighResCounter() - counterBefore;
  EXPECT_GE(elapsed, platform::HighResFrequency() / 1000 * 19);
  EXPECT_GE(static_cast<uint32_t>(platform::TickCountMs() - tickBefore), 19u);

  platform::LocalTime now = platform::CurrentLocalTime();
  EXPECT_GE(now.year, 2000);
  EXPECT_TRUE(now.month >= 1 && now.month <= 12);
}

TEST(DynamicLibrary, MissingLibraryIsNullAndSymbolsResolve) {
  EXPECT_EQ(platform::LoadDynamicLibrary("toolbridge.so"), nullptr);
  EXPECT_EQ(platform::FindLibrarySymbol(nullptr, "Create"), nullptr);
  platform::UnloadDynamicLibrary(nullptr);

  platform::DynamicLibrary* math = platform::LoadDynamicLibrary("/lib/x86_64-linux-gnu/libm.so.6");
  ASSERT_NE(math, nullptr);
  EXPECT_NE(platform::FindLibrarySymbol(math, "cos"), nullptr);
  EXPECT_EQ(platform::FindLibrarySymbol(math, "NoSuchExport"), nullptr);
  platform::UnloadDynamicLibrary(math);
}

TEST(DynamicLibrary, WhatIsNoRegularFileIsNoLibraryAndIsNotWaitedOn) {
  platform::ScopedTempFolder root("vyre-library");
  ASSERT_TRUE(platform::MakeFolder(root / "folder.so"));
  platform::FifoWatch fifo({root / "toolbridge.so"});
  ASSERT_TRUE(fifo.Made());
  EXPECT_EQ(platform::LoadDynamicLibrary((root / "toolbridge.so").c_str()), nullptr);
  EXPECT_EQ(platform::LoadDynamicLibrary((root / "folder.so").c_str()), nullptr);
  EXPECT_FALSE(fifo.Waited());
}

}  // namespace
