#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/Matrix4.h"
#include "engine/foundation/Quaternion.h"
#include "engine/foundation/Vector3.h"
#include "platform/tests/support/FifoWatch.h"
#include "support/LogLines.h"
#include "support/ScratchWorkingFolder.h"

namespace {

using testing_support::ReadAll;
using testing_support::ScratchWorkingFolder;
using testing_support::WriteAll;

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder_.Ok()); }
  ScratchWorkingFolder folder_{"vyre-file"};
  FreshLog log_;
};

TEST_F(FileTest, OpensAreLoggedOnTheArchiveChannelWithBackslashedNames) {
  ASSERT_TRUE(platform::MakeFolder("Data"));
  WriteAll("Data/a.txt", "text");
  File file(0);
  file.OpenRead("data/A.TXT");  // found on disk ignoring case
  EXPECT_TRUE(file.IsOpen());
  EXPECT_STREQ(file.GetName().Chars(), "data\\A.TXT");
  // The channel did not exist yet: the line is dropped.
  EXPECT_FALSE(LogContains(kLogMain, "Read"));

  GetLogChannel(kLogARC);
  file.OpenRead("Data/a.txt");
  file.OpenRead("Data/missing.txt");
  file.OpenWrite("Data/out.bin");
  file.OpenWrite("NoFolder/out.bin");
  file.OpenAppend("NoFolder/out.bin");
  EXPECT_EQ(LogLinesOf(kLogARC),
            (std::vector<std::string>{"Read Data\\a.txt ... OK", "Read Data\\missing.txt ... ERROR!",
                                      "Write Data\\out.bin ... OK", "Write NoFolder\\out.bin ... ERROR!",
                                      "Append NoFolder\\out.bin ... ERROR!"}));
}

// A FIFO, a device or a folder where a file is expected: every open fails
// at once and is logged like a missing file, and the file stays as it was.
TEST_F(FileTest, WhatIsNoRegularFileNeverOpensAndIsNeverWaitedOn) {
  ASSERT_TRUE(platform::MakeFolder("Folder.png"));
  ASSERT_EQ(symlink("/dev/zero", "Device.png"), 0);
  platform::FifoWatch fifo({folder_ / "Pipe.png"});
  ASSERT_TRUE(fifo.Made());
  GetLogChannel(kLogARC);
  for (const char* name : {"Pipe.png", "Device.png", "Folder.png"}) {
    SCOPED_TRACE(name);
    File file(0);
    EXPECT_EQ(file.OpenRead(name), File::kClosed | File::kOpenFailed | File::kRead);
    EXPECT_FALSE(file.OpenWrite(name) & File::kOpen);
    EXPECT_FALSE(file.OpenAppend(name) & File::kOpen);
    EXPECT_EQ(CountLogLines(kLogARC, std::string("Read ") + name + " ... ERROR!"), 1);
    EXPECT_EQ(CountLogLines(kLogARC, std::string("Write ") + name + " ... ERROR!"), 1);
  }
  EXPECT_FALSE(fifo.Waited());
  EXPECT_TRUE(platform::IsFolder("Folder.png"));
  FileText text;
  text.OpenRead("Pipe.png");
  EXPECT_STREQ(text.GetRefusal().Chars(), "not a regular file");
  text.OpenRead("Folder.png");
  EXPECT_STREQ(text.GetRefusal().Chars(), "Is a directory");
  text.OpenRead("Missing.png");
  EXPECT_STREQ(text.GetRefusal().Chars(), "");
}

TEST_F(FileTest, FlagWordFollowsOpensAndCloses) {
  WriteAll("in.txt", "1");
  File file(File::kTerminatedStrings);
  EXPECT_EQ(file.OpenRead("in.txt"), File::kOpen | File::kRead | File::kTerminatedStrings);
  EXPECT_EQ(file.Close(), File::kClosed | File::kRead | File::kTerminatedStrings);
  EXPECT_EQ(file.OpenRead("missing"), File::kClosed | File::kOpenFailed | File::kRead | File::kTerminatedStrings);
  // The failed-open bit stays; the other mode bits go.
  EXPECT_EQ(file.OpenWrite("out.txt"), File::kOpen | File::kOpenFailed | File::kWrite | File::kTerminatedStrings);
  EXPECT_EQ(file.OpenAppend("out.txt"), File::kOpen | File::kOpenFailed | File::kAppend | File::kTerminatedStrings);
  FileText text;
  EXPECT_EQ(text.OpenRead("in.txt"), File::kOpen | File::kRead | File::kText);
}

TEST_F(FileTest, BinaryValuesRoundTripAsLittleEndianBytes) {
  Vector3 v;
  v.x = 1.0f;
  v.y = -2.0f;
  v.z = 0.5f;
  Quaternion q;
  q.x = 0.1f;
  q.y = 0.2f;
  q.z = 0.3f;
  q.w = 0.9f;
  Matrix4 m;
  for (int i = 0; i < 16; ++i) m.m[i] = static_cast<float>(i) * 1.5f;
  {
    File out(0);
    out.OpenWrite("values.bin");
    out.WriteInt(-2).WriteFloat(1.5f).WriteDouble(2.25).WriteS8(-3).WriteS16(-300);
    out.WriteFloat3(v).WriteFloat4(q).WriteMatrix(m);
  }
  const std::string bytes = ReadAll("values.bin");
  ASSERT_EQ(bytes.size(), 4u + 4 + 8 + 1 + 2 + 12 + 16 + 64);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\xFE\xFF\xFF\xFF\x00\x00\xC0\x3F", 8));

  File in(0);
  in.OpenRead("values.bin");
  int32_t i32 = 0;
  float f = 0;
  double d = 0;
  int8_t s8 = 0;
  int16_t s16 = 0;
  Vector3 v2;
  Quaternion q2;
  Matrix4 m2;
  in.ReadInt(i32).ReadFloat(f).ReadDouble(d).ReadS8(s8).ReadS16(s16).ReadFloat3(v2).ReadFloat4(q2).ReadMatrix(m2);
  EXPECT_EQ(i32, -2);
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(d, 2.25);
  EXPECT_EQ(s8, -3);
  EXPECT_EQ(s16, -300);
  EXPECT_EQ(v2.y, -2.0f);
  EXPECT_EQ(q2.w, 0.9f);
  EXPECT_EQ(0, std::memcmp(m.m, m2.m, sizeof m.m));
  // At the end: a read that cannot complete gives 0.
  int32_t past = 77;
  in.ReadInt(past);
  EXPECT_EQ(past, 0);
  EXPECT_EQ(in.ReadInt(), 0);
  EXPECT_TRUE(in.IsEOF());
}

TEST_F(FileTest, TextValuesAreDecimalWithoutSeparators) {
  {
    FileText out;
    out.OpenWrite("values.txt");
    out.WriteFloat(1.5f).WriteString(" ").WriteInt(42).WriteString(" ").WriteDouble(0.25);
  }
  EXPECT_EQ(ReadAll("values.txt"), "1.5 42 0.25");
  FileText in;
  in.OpenRead("values.txt");
  float f = 0;
  uint8_t u8 = 0;
  double d = 0;
  in.ReadFloat(f).ReadU8(u8).ReadDouble(d);
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(u8, 42);
  EXPECT_EQ(d, 0.25);
  int32_t untouched = 9;
  in.ReadInt(untouched);  // nothing left to parse
  EXPECT_EQ(untouched, 9);

  WriteAll("word.txt", "abc");
  FileText word;
  word.OpenRead("word.txt");
  word.ReadInt(untouched);
  EXPECT_EQ(untouched, 9);
}

TEST_F(FileTest, OperationsOutsideTheirModeDoNothing) {
  WriteAll("in.bin", "abcd");
  File file(File::kTerminatedStrings);
  file.OpenRead("in.bin");
  file.WriteInt(5).WriteString("x");
  EXPECT_EQ(file.WriteBlock("zz", 1, 2), 0u);
  file.Close();
  EXPECT_EQ(ReadAll("in.bin"), "abcd");

  File missing(0);
  missing.OpenRead("missing.bin");
  int32_t value = 3;
  missing.ReadInt(value);
  EXPECT_EQ(value, 3);
  String line("kept");
  missing.ReadLine(line);
  EXPECT_STREQ(line.Chars(), "kept");

  File writer(File::kTerminatedStrings);
  writer.OpenWrite("out.bin");
  writer.WriteString("ab").WriteString(String("c"));
  EXPECT_EQ(writer.ReadInt(), 0);
  writer.Close();
  EXPECT_EQ(ReadAll("out.bin"), std::string("ab\0c\0", 5));

  File appender(0);
  appender.OpenAppend("out.bin");
  EXPECT_EQ(appender.WriteBlock("yz", 1, 2), 2u);
  appender.Close();
  EXPECT_EQ(ReadAll("out.bin"), std::string("ab\0c\0yz", 7));
}

TEST_F(FileTest, LinesEndAtLineFeedNulOrEndAndTextModeDropsCarriageReturns) {
  const std::string bytes = std::string("one\r\ntwo\rthree\n", 15) + std::string("a\0b", 3);
  WriteAll("lines.txt", bytes);
  struct Case {
    uint32_t flags;
    const char* lines[5];
  };
  const Case cases[] = {
      {File::kText, {"one\n", "two\rthree\n", "a", "b", ""}},
      {0, {"one\r\n", "two\rthree\n", "a", "b", ""}},
  };
  for (const Case& c : cases) {
    File file(c.flags);
    file.OpenRead("lines.txt");
    String line;
    for (const char* expected : c.lines) {
      file.ReadLine(line);
      EXPECT_STREQ(line.Chars(), expected) << "flags " << c.flags;
    }
  }

  File chars(File::kText);
  chars.OpenRead("lines.txt");
  char buffer[4];
  EXPECT_EQ(chars.ReadChars(buffer, sizeof buffer), 3u);  // capacity bounds the line
  EXPECT_STREQ(buffer, "one");
  EXPECT_EQ(chars.ReadChars(buffer, sizeof buffer), 1u);
  EXPECT_STREQ(buffer, "\n");
}

TEST_F(FileTest, BlocksAndPositions) {
  WriteAll("data.bin", "0123456789");
  File file(0);
  file.OpenRead("data.bin");
  char block[4] = {};
  EXPECT_EQ(file.ReadBlock(block, 2, 2), 2u);
  EXPECT_EQ(std::string(block, 4), "0123");
  file.GetPos();
  EXPECT_EQ(file.GetSize(), 10);
  EXPECT_EQ(file.Tell(), 4);  // the size query kept the position
  file.Skip(3);
  EXPECT_EQ(file.Tell(), 7);
  file.SetPos();
  EXPECT_EQ(file.Tell(), 4);
  EXPECT_EQ(file.GetSizeOnDisk(), 10u);

  EXPECT_EQ(file.ReadBlock(block, 4, 5), 1u);  // one whole item, then the end
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.ReadBlock(block, 4, 1), 0u);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(file.GetFlags() & File::kTransferFailed);
  EXPECT_TRUE(file.GetFlags() & File::kClosed);

  EXPECT_TRUE(File::Delete("data.bin"));
  EXPECT_FALSE(File::Delete("data.bin"));
}

}  // namespace
