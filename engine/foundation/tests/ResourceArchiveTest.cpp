#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/foundation/CABArchive.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/ResourceManager.h"
#include "platform/tests/support/FifoWatch.h"
#include "support/LogLines.h"
#include "support/ScratchWorkingFolder.h"

namespace {

using testing_support::ReadAll;
using testing_support::ScratchWorkingFolder;
using testing_support::WriteAll;

using Entries = std::vector<std::pair<std::string, std::string>>;  // name, data

void PutInt(std::string& bytes, int32_t value) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
}

// The format written out by hand, independent of the writer under test.
std::string BuildArchive(const Entries& entries) {
  std::string data;
  std::string directory;
  PutInt(directory, static_cast<int32_t>(entries.size()));
  for (const auto& [name, contents] : entries) {
    PutInt(directory, static_cast<int32_t>(14 + data.size()));
    PutInt(directory, static_cast<int32_t>(contents.size()));
    directory += name;
    directory += '\0';
    data += contents;
  }
  std::string bytes("CAB01\0", 6);
  PutInt(bytes, static_cast<int32_t>(14 + data.size()));
  PutInt(bytes, static_cast<int32_t>(entries.size()));
  return bytes + data + directory;
}

std::string ReadResource(const char* name) {
  std::vector<uint8_t> bytes;
  if (!ResourceManager::Instance().LoadBytes(name, bytes)) return "<missing>";
  return std::string(bytes.begin(), bytes.end());
}

class ResourceArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.Ok());
    GetLogChannel(kLogARC);
  }
  void TearDown() override { ResourceManager::Instance().UnmountAll(); }

  ScratchWorkingFolder folder_{"vyre-cab"};
  FreshLog log_;
};

TEST_F(ResourceArchiveTest, WrittenArchiveReadsBackWithTheSameEntries) {
  ASSERT_TRUE(platform::MakeFolder("Resources"));
  ASSERT_TRUE(platform::MakeFolder("Resources/Fonts"));
  ASSERT_TRUE(platform::MakeFolder("Resources/Fonts/Big"));
  WriteAll("Resources/Fonts/NewDefault.png", "PNGDATA");
  WriteAll("Resources/Fonts/Big/b.fnt", "");
  WriteAll("Resources/readme.txt", "hello\r\nworld");
  {
    CABArchive writer;
    ASSERT_TRUE(writer.Create("Vyre.cab"));
    writer.SetBaseFolder("Resources\\");
    EXPECT_EQ(writer.AddFolder("Resources\\*.*"), 3);
  }
  // Files first, then sub-folders, each in name order.
  const Entries expected = {
      {"readme.txt", "hello\r\nworld"}, {"Fonts\\NewDefault.png", "PNGDATA"}, {"Fonts\\Big\\b.fnt", ""}};
  EXPECT_EQ(ReadAll("Vyre.cab"), BuildArchive(expected));

  CABArchive reader;
  ASSERT_TRUE(reader.Read("Vyre.cab"));
  ASSERT_EQ(reader.GetEntryCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_STREQ(reader.GetEntryName(i), expected[i].first.c_str());
    EXPECT_EQ(reader.GetEntrySize(i), static_cast<int32_t>(expected[i].second.size()));
  }
  EXPECT_EQ(reader.GetEntryName(3), nullptr);
  EXPECT_EQ(reader.GetEntrySize(-1), -1);
  EXPECT_FALSE(reader.SeekToEntry(3));
}

TEST_F(ResourceArchiveTest, LookupsIgnoreCaseAndSlashDirection) {
  WriteAll("Vyre.cab", BuildArchive({{"Fonts\\NewDefault.png", "png"}, {"Boards/a.stars", "stars"}}));
  ASSERT_TRUE(ResourceManager::Instance().Mount("Vyre.cab"));
  for (const char* name : {"fonts/newdefault.png", "FONTS\\NEWDEFAULT.PNG", "Fonts\\NewDefault.png"}) {
    EXPECT_EQ(ReadResource(name), "png") << name;
  }
  EXPECT_EQ(ReadResource("boards\\A.STARS"), "stars");
  EXPECT_EQ(ReadResource("fonts/newdefault"), "<missing>");  // whole names only

  // The archive's own size is the whole file's: entries have their own.
  File* file = ResourceManager::Instance().Open("boards/a.stars");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(ResourceManager::Instance().ResourceSize(file), 5);
  EXPECT_GT(file->GetSize(), 5);
  EXPECT_EQ(file->Tell(), 14 + 3);
  EXPECT_TRUE(ResourceManager::Instance().Close(file));
  EXPECT_FALSE(ResourceManager::Instance().Close(nullptr));
}

TEST_F(ResourceArchiveTest, FirstMountedArchiveWinsThenTheDisk) {
  WriteAll("first.cab", BuildArchive({{"same.txt", "first"}}));
  WriteAll("second.cab", BuildArchive({{"same.txt", "second"}, {"only2.txt", "two"}}));
  WriteAll("same.txt", "disk");
  WriteAll("loose.txt", "loose");
  ResourceManager& manager = ResourceManager::Instance();
  EXPECT_FALSE(manager.Mount("missing.cab"));
  ASSERT_TRUE(manager.Mount("first.cab"));
  ASSERT_TRUE(manager.Mount("second.cab"));
  EXPECT_EQ(ReadResource("same.txt"), "first");
  EXPECT_EQ(ReadResource("ONLY2.txt"), "two");
  EXPECT_EQ(ReadResource("loose.txt"), "loose");
  EXPECT_GT(CountLogLines(kLogARC, "Read missing.cab ... ERROR!"), 0);
}

TEST_F(ResourceArchiveTest, WithoutArchivesOpenReadsTheDiskInBinaryMode) {
  WriteAll("Data.txt", "a\r\nb");
  ResourceManager& manager = ResourceManager::Instance();
  File* file = manager.Open("data.TXT");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetFlags(), File::kOpen | File::kRead | File::kTerminatedStrings);
  String line;
  file->ReadLine(line);
  EXPECT_STREQ(line.Chars(), "a\r\n");
  manager.Close(file);
  EXPECT_EQ(manager.Open("nothing.txt"), nullptr);
  EXPECT_GT(CountLogLines(kLogARC, "Read nothing.txt ... ERROR!"), 0);
}

TEST_F(ResourceArchiveTest, WhatStandsOnTheDiskAndIsNoFileIsRefusedWithItsReason) {
  ASSERT_TRUE(platform::MakeFolder("Folder.png"));
  WriteAll("File.png", "png");
  WriteAll("Packed.cab", BuildArchive({{"Pipe.png", "packed"}}));
  platform::FifoWatch fifo({folder_ / "Pipe.png", folder_ / "Vyre.cab"});
  ASSERT_TRUE(fifo.Made());
  ResourceManager& manager = ResourceManager::Instance();
  // A FIFO in place of the archive is no archive: the lookups go to the disk.
  EXPECT_FALSE(manager.Mount("Vyre.cab"));
  struct Case {
    const char* name;
    bool opens;
    const char* refusal;
  } cases[] = {
      {"pipe.png", false, "not a regular file"},
      {"folder.png", false, "Is a directory"},
      {"missing.png", false, ""},
      {"file.png", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    String refusal("old");
    File* file = manager.Open(c.name, &refusal);
    EXPECT_EQ(file != nullptr, c.opens);
    EXPECT_STREQ(refusal.Chars(), c.refusal);
    manager.Close(file);
    EXPECT_EQ(CountLogLines(kLogARC, std::string("Read ") + c.name + (c.opens ? " ... OK" : " ... ERROR!")), 1);
  }
  // An archive that holds the name answers before the disk is looked at.
  ASSERT_TRUE(manager.Mount("Packed.cab"));
  EXPECT_EQ(ReadResource("pipe.png"), "packed");
  EXPECT_FALSE(fifo.Waited());
}

TEST_F(ResourceArchiveTest, ReopeningReadsTheDirectoryAfresh) {
  WriteAll("Vyre.cab", BuildArchive({{"a", "1"}, {"b", "2"}}));
  ResourceManager& manager = ResourceManager::Instance();
  ASSERT_TRUE(manager.Mount("Vyre.cab"));
  for (int round = 0; round < 5; ++round) {
    File* file = manager.Open("b");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(static_cast<CABArchive*>(file)->GetEntryCount(), 2) << "round " << round;
    manager.Close(file);  // the next lookup reopens the archive
  }
}

TEST_F(ResourceArchiveTest, DamagedArchivesAreRefusedWithALogLine) {
  const std::string good = BuildArchive({{"one.txt", "11111"}, {"two.txt", "2222"}});
  auto withInt = [&](size_t at, int32_t value) {
    std::string bytes = good;
    std::string field;
    PutInt(field, value);
    bytes.replace(at, 4, field);
    return bytes;
  };
  const size_t directory = 14 + 9;
  struct Case {
    const char* label;
    std::string bytes;
    const char* logged;
  };
  const Case cases[] = {
      {"wrong magic", "CAB02" + good.substr(5), "is not a CAB01 archive"},
      {"empty file", "", "is not a CAB01 archive"},
      {"directory past the end", withInt(6, 1 << 30), "directory offset"},
      {"directory inside the header", withInt(6, 3), "directory offset"},
      {"negative count", withInt(directory, -1), "entry count"},
      {"huge count", withInt(directory, 0x7FFFFFFF), "entry count"},
      {"entry past the data", withInt(directory + 4, 20), "outside the data"},
      {"negative size", withInt(directory + 8, -5), "outside the data"},
      {"size past the data", withInt(directory + 8, 1000), "outside the data"},
      {"name without its end", good.substr(0, good.size() - 1), "cut short"},
  };
  for (const Case& c : cases) {
    WriteAll("bad.cab", c.bytes);
    CABArchive archive;
    EXPECT_FALSE(archive.Read("bad.cab")) << c.label;
    EXPECT_EQ(archive.GetEntryCount(), 0) << c.label;
    EXPECT_EQ(archive.Find("one.txt"), -1) << c.label;
    EXPECT_TRUE(LogContains(kLogARC, c.logged)) << c.label;
  }

  // Every truncation of a good archive is refused, none hangs.
  for (size_t length = 0; length < good.size(); ++length) {
    WriteAll("cut.cab", good.substr(0, length));
    CABArchive archive;
    EXPECT_FALSE(archive.Read("cut.cab")) << length;
    EXPECT_EQ(archive.GetEntryCount(), 0) << length;
  }

  // A mounted damaged archive falls back to the disk.
  WriteAll("bad.cab", withInt(6, 1 << 30));
  WriteAll("one.txt", "from disk");
  ASSERT_TRUE(ResourceManager::Instance().Mount("bad.cab"));
  EXPECT_EQ(ReadResource("one.txt"), "from disk");
}

TEST_F(ResourceArchiveTest, ExtractWritesEntriesAndRefusesEscapingNames) {
  WriteAll("Vyre.cab", BuildArchive({{"Fonts\\Big\\b.fnt", "font"},
                                     {"..\\evil.txt", "x"},
                                     {"a/../../evil.txt", "x"},
                                     {"/abs.txt", "x"},
                                     {"C:\\drive.txt", "x"}}));
  ASSERT_TRUE(platform::MakeFolder("out"));
  CABArchive archive;
  ASSERT_TRUE(archive.Read("Vyre.cab"));
  EXPECT_TRUE(archive.Extract("fonts/big/B.FNT", "out/x"));
  EXPECT_EQ(ReadAll("out/x/Fonts/Big/b.fnt"), "font");
  for (const char* name : {"..\\evil.txt", "a/../../evil.txt", "/abs.txt", "C:\\drive.txt"}) {
    EXPECT_FALSE(archive.Extract(name, "out")) << name;
  }
  EXPECT_FALSE(platform::PathExists("evil.txt"));
  EXPECT_FALSE(archive.Extract("missing", "out"));
  EXPECT_TRUE(LogContains(kLogARC, "refused unsafe name ..\\evil.txt"));
}

}  // namespace
