#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Text(int channel, uint32_t record) {
  const LogLine* line = GetLogChannel(channel)->GetLine(record);
  return line != nullptr ? line->text.Chars() : "<none>";
}

// Each test logs from its own working folder into a user folder not made
// yet, with its own switches, from frame 12 of a freshly started clock.
class LogTest : public ::testing::Test {
 protected:
  void StartLog(const FixedLogSettings& settings) {
    ASSERT_EQ(chdir(folder_.Path().c_str()), 0);
    setenv("VYRE_USER_DIR", userFolder_.c_str(), 1);
    Clock::Instance().Start();  // frame 0 for the start line below
    Log::Reset();
    SetLogSettings(&settings);
    Clock::Instance().Start();
    for (int frame = 0; frame < 12; ++frame) Clock::Instance().Update();
  }
  void TearDown() override {
    Log::Reset();
    SetLogSettings(nullptr);
    EXPECT_EQ(chdir(previousFolder_.c_str()), 0);
    setenv("VYRE_USER_DIR", previousUserFolder_.c_str(), 1);
  }

  platform::ScopedTempFolder folder_{"vyre-log"};
  std::string userFolder_ = folder_ / "user/Novaliths";
  std::string previousUserFolder_ = getenv("VYRE_USER_DIR") ? getenv("VYRE_USER_DIR") : "";
  std::string previousFolder_ = platform::CurrentDirectory();
};

TEST_F(LogTest, ModuleLineGoesToRingChannelFileAndMainFile) {
  FixedLogSettings settings(true, true, "ALL");
  StartLog(settings);
  LogGEM("x");

  LogChannel* gem = GetLogChannel(kLogGEM);
  ASSERT_NE(gem, GetLogChannel(kLogMain));
  EXPECT_EQ(Text(kLogGEM, 0), "GEM|x\n");
  EXPECT_EQ(gem->GetLine(0)->frameNumber, 12u);
  EXPECT_EQ(gem->GetWriteIndex(), 1u);
  const float green[4] = {0, 1, 0, 1};
  EXPECT_EQ(0, memcmp(gem->GetLine(0)->colour, green, sizeof green));

  const std::string runFolder = Log::RunFolder().Chars();
  // The logs are the player's: the user folder and its "Logs" are made for them.
  ASSERT_EQ(runFolder.rfind(userFolder_ + "/Logs/", 0), 0u) << runFolder;
  EXPECT_FALSE(platform::PathExists("Logs")) << "nothing in the working folder";
  EXPECT_EQ(ReadAll(runFolder + "/GEM.txt"), "12|x\n");
  // The clock's start line came first, tagged, in the main file.
  EXPECT_EQ(ReadAll(runFolder + "/Vyre.txt"), "0|DBG|Clock::Start1\n12|GEM|x\n");
  EXPECT_EQ(ReadAll(runFolder + "/DBG.txt"), "0|Clock::Start1\n");
}

TEST_F(LogTest, FilteredOrDisabledModulesLogUntaggedToTheMainChannel) {
  struct Case {
    FixedLogSettings settings;
    const char* label;
  };
  const Case cases[] = {
      {FixedLogSettings(true, false, "GFX"), "filter without GEM"},
      {FixedLogSettings(true, false, ""), "empty filter"},
      {FixedLogSettings(false, false, "ALL"), "logging off"},
  };
  for (const Case& c : cases) {
    StartLog(c.settings);
    EXPECT_EQ(GetLogChannel(kLogGEM), GetLogChannel(kLogMain)) << c.label;
    EXPECT_FALSE(Log::ChannelExists(kLogGEM)) << c.label;
    LogGEM("y");
    EXPECT_EQ(Text(kLogMain, 1), "y\n") << c.label;  // record 0 holds the clock's start line
    EXPECT_TRUE(Log::RunFolder().IsEmpty());
  }
  FixedLogSettings gemAndGfx(true, false, "GEM,GFX");
  StartLog(gemAndGfx);
  EXPECT_TRUE(Log::PassesFilter(gemAndGfx, "GFX"));
  EXPECT_NE(GetLogChannel(kLogGEM), GetLogChannel(kLogMain));
  EXPECT_NE(GetLogChannel(kLogGFX), GetLogChannel(kLogMain));
  EXPECT_EQ(GetLogChannel(kLogSFX), GetLogChannel(kLogMain));
}

TEST_F(LogTest, RingWrapsAfterItsCapacity) {
  FixedLogSettings settings(true, false, "ALL");
  StartLog(settings);
  LogChannel* gem = GetLogChannel(kLogGEM);
  for (int i = 1; i <= 256; ++i) LogGEM("line %d", i);
  EXPECT_FALSE(gem->IsWrapped());
  EXPECT_EQ(gem->GetWriteIndex(), 256u);
  LogGEM("line 257");
  EXPECT_TRUE(gem->IsWrapped());
  EXPECT_EQ(Text(kLogGEM, 0), "GEM|line 257\n");
  EXPECT_EQ(Text(kLogGEM, 1), "GEM|line 2\n");
  EXPECT_EQ(gem->GetLine(256), nullptr);
  // In order, the oldest kept line comes first and the newest last.
  const std::vector<std::string> kept = gem->LinesInOrder();
  ASSERT_EQ(kept.size(), 256u);
  EXPECT_EQ(kept.front(), "GEM|line 2");
  EXPECT_EQ(kept.back(), "GEM|line 257");

  gem->Clear();
  EXPECT_FALSE(gem->IsWrapped());
  EXPECT_EQ(gem->GetWriteIndex(), 0u);
  EXPECT_EQ(Text(kLogGEM, 0), "");
  LogGEM("again");
  EXPECT_EQ(Text(kLogGEM, 0), "GEM|again\n");
  EXPECT_EQ(gem->LinesInOrder(), std::vector<std::string>{"GEM|again"});
}

TEST_F(LogTest, SeparatorReplacesTextsHoldingSlashEquals) {
  FixedLogSettings settings(true, true, "ALL");
  StartLog(settings);
  LogDBG("/=");
  LogGEM("before /= after");
  const std::string separator = std::string(72, '=') + "\n";
  EXPECT_EQ(Text(kLogDBG, 1), "DBG|" + separator);
  EXPECT_EQ(Text(kLogGEM, 0), "GEM|" + separator);
  EXPECT_EQ(ReadAll(std::string(Log::RunFolder().Chars()) + "/GEM.txt"), "12|" + separator);
}

TEST_F(LogTest, EnablingAChannelThatDoesNotExistLeavesTheMainChannelAlone) {
  FixedLogSettings settings(true, false, "");  // no module channels
  StartLog(settings);
  Log::EnableChannel(kLogGUI, false);
  EXPECT_TRUE(GetLogChannel(kLogMain)->IsEnabled());
  LogGEM("still logged");
  EXPECT_EQ(Text(kLogMain, 1), "still logged\n");
}

TEST_F(LogTest, DisabledChannelsDropTheirLines) {
  FixedLogSettings settings(true, true, "ALL");
  StartLog(settings);
  Log::EnableChannel(kLogGEM, false);
  LogGEM("dropped");
  EXPECT_EQ(Text(kLogGEM, 0), "");
  EXPECT_EQ(Text(kLogMain, 1), "");  // no copy in the main channel either
  Log::EnableChannel(kLogGEM, true);
  Log::EnableChannel(kLogMain, false);
  LogGEM("kept");
  EXPECT_EQ(Text(kLogGEM, 0), "GEM|kept\n");
  EXPECT_EQ(Text(kLogMain, 1), "");
  EXPECT_EQ(ReadAll(std::string(Log::RunFolder().Chars()) + "/Vyre.txt"), "0|DBG|Clock::Start1\n");
  Log::EnableAllChannels(true);
  EXPECT_TRUE(GetLogChannel(kLogMain)->IsEnabled());
}

TEST_F(LogTest, LongLinesAreCutAndKeepTheirLineEnd) {
  FixedLogSettings settings(true, true, "ALL");
  StartLog(settings);
  const std::string longText(3000, 'z');
  LogGEM("%s", longText.c_str());
  const std::string record = Text(kLogGEM, 0);
  EXPECT_EQ(record.size(), 255u);
  EXPECT_EQ(record.back(), '\n');
  EXPECT_EQ(ReadAll(std::string(Log::RunFolder().Chars()) + "/GEM.txt"), "12|" + std::string(1022, 'z') + "\n");
}

TEST_F(LogTest, FilesStartWhenTheSettingArrivesAfterTheFirstLine) {
  FixedLogSettings noFiles(true, false, "ALL");
  StartLog(noFiles);
  LogGEM("memory only");
  EXPECT_TRUE(Log::RunFolder().IsEmpty());
  FixedLogSettings files(true, true, "ALL");
  SetLogSettings(&files);
  LogGEM("on disk");
  const std::string runFolder = Log::RunFolder().Chars();
  EXPECT_EQ(ReadAll(runFolder + "/Vyre.txt"), "12|GEM|on disk\n");
  EXPECT_EQ(ReadAll(runFolder + "/GEM.txt"), "12|on disk\n");
}

// With "-dev" the terminal shows what the main file gets, line for line and
// as it is written: module lines with their tag, the separator as its rule,
// a warning once.
TEST_F(LogTest, WithEveryLineTheTerminalShowsWhatTheMainFileGets) {
  FixedLogSettings settings(true, true, "ALL");
  StartLog(settings);
  LogDBG("before the capture");
  platform::SetTerminalShowsEveryLine(true);
  testing::internal::CaptureStderr();
  LogDBG("value %d", 3);
  LogDBGAt("Loader", "texture", 7);
  LogGEM("a console answer");
  LogPrintf(kLogGFX, "/=");
  LogPrintf(kLogMain, "untagged");
  LogWarning("mended %s", "board");
  const std::string shown = testing::internal::GetCapturedStderr();
  platform::SetTerminalShowsEveryLine(false);

  const std::string rule(72, '=');
  EXPECT_EQ(shown, "DBG|value 3\nDBG|Loader : texture - 7\n\nGEM|a console answer\nGFX|" + rule +
                       "\nuntagged\nDBG|mended board\n");
  std::string mainFile = ReadAll(std::string(Log::RunFolder().Chars()) + "/Vyre.txt");
  std::string withoutFrames;
  for (size_t start = 0; start < mainFile.size();) {
    const size_t end = mainFile.find('\n', start);
    const std::string line = mainFile.substr(start, end - start + 1);
    withoutFrames += line.substr(line.find('|') + 1);
    start = end + 1;
  }
  EXPECT_EQ(withoutFrames, "DBG|Clock::Start1\nDBG|before the capture\n" + shown);
}

// The terminal is the player's: by default it shows only what went wrong,
// while the channels and their files keep every line.
TEST_F(LogTest, ThePlayersTerminalShowsWarningsAndErrorsTheFilesKeepEveryLine) {
  FixedLogSettings files(true, true, "ALL");
  StartLog(files);
  ASSERT_FALSE(platform::TerminalShowsEveryLine());
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  LogDBG("loading %d discs", 4);
  LogWarning("mended %s", "board");
  LogError("cannot open %s", "list");
  OutputPrintf(platform::Severity::Info, "STAGE SETTING : %s\n", "BLEND");
  OutputPrintf(platform::Severity::Warning, "Problem getting information\n");
  const std::string output = testing::internal::GetCapturedStdout();
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors, "mended board\ncannot open list\n");
  EXPECT_EQ(output, "Problem getting information\n");
  const std::string runFolder = Log::RunFolder().Chars();
  EXPECT_EQ(ReadAll(runFolder + "/DBG.txt"),
            "0|Clock::Start1\n12|loading 4 discs\n12|mended board\n12|cannot open list\n");
}

TEST(LogFolder, NamedAfterTheStartTime) {
  platform::LocalTime start;
  start.year = 2026;
  start.month = 3;
  start.day = 7;
  start.hour = 9;
  start.minute = 5;
  start.second = 3;
  EXPECT_EQ(Log::RunFolderName("/home/player/game", start), "/home/player/game/Logs/2026-03-07 @ 09-05-03");
}

}  // namespace
