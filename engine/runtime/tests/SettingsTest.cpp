#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/settings/Registry.h"
#include "engine/runtime/settings/Settings.h"
#include "platform/FileSystem.h"
#include "platform/TempFolder.h"
#include "support/RuntimeTestSupport.h"

namespace {

using namespace runtime_test;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    setenv("VYRE_REGISTRY", (scratch_ / "registry.reg").c_str(), 1);
    iniPath_ = scratch_ / "Settings.ini";
    settings_.SetTitle("Novaliths");
    settings_.SetIniName(iniPath_.c_str());
    ClearLogLines(kLogGEM);
    ClearLogLines(kLogDBG);
  }

  void WriteIni(const std::string& text) { std::ofstream(iniPath_, std::ios::binary) << text; }
  std::string ReadIni() {
    std::ifstream in(iniPath_, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
  }
  void WriteRegistryInt(const char* name, int32_t value) {
    ASSERT_TRUE(RegistryWriteValue(name, 1, &value, sizeof value, settings_.registryKeyPath.Chars()));
  }

  platform::ScopedTempFolder scratch_{"vyre-settings"};
  std::string iniPath_;
  CSettings settings_;
};

TEST_F(SettingsTest, DefaultsStandWithoutIniFileOrRegistry) {
  EXPECT_FALSE(settings_.Load(true));
  EXPECT_EQ(settings_.width, 800);
  EXPECT_EQ(settings_.height, 600);
  EXPECT_EQ(settings_.depth, 32);
  EXPECT_FALSE(settings_.fullscreen);
  EXPECT_EQ(settings_.api, 0);
  EXPECT_EQ(settings_.title, "Novaliths");
  EXPECT_TRUE(settings_.developerMode);
  EXPECT_TRUE(settings_.enableLogging);
  EXPECT_FALSE(settings_.logsToFiles);
  EXPECT_EQ(settings_.registryKeyPath, "Software\\Velk Software Studio\\Novaliths");
  EXPECT_TRUE(settings_.modified);  // setting the title marks them
  EXPECT_EQ(LogLinesOf(kLogGEM), std::vector<std::string>{"[GEM] Settings : Failed to read '" + iniPath_ + "'..."});
}

TEST_F(SettingsTest, IniFileIsReadAfterTheRegistryAndWins) {
  WriteRegistryInt("Display\\Width", 1024);
  WriteRegistryInt("Display\\Height", 700);
  WriteRegistryInt("Display\\Depth", 16);
  uint8_t oneByte = 1;
  ASSERT_TRUE(RegistryWriteValue("Display\\Fullscreen", 1, &oneByte, 1, settings_.registryKeyPath.Chars()));
  // A value of the wrong width is not taken.
  ASSERT_TRUE(RegistryWriteValue("Display\\Top", 1, &oneByte, 1, settings_.registryKeyPath.Chars()));
  WriteIni("[Display]\nWidth=640\n");
  EXPECT_TRUE(settings_.Load(true));
  EXPECT_EQ(settings_.width, 640);
  EXPECT_EQ(settings_.height, 700);
  EXPECT_EQ(settings_.depth, 16);
  EXPECT_TRUE(settings_.fullscreen);
  EXPECT_EQ(settings_.top, 0);

  // Without the registry only the file counts.
  CSettings fileOnly;
  fileOnly.SetTitle("Novaliths");
  fileOnly.SetIniName(iniPath_.c_str());
  fileOnly.Load(false);
  EXPECT_EQ(fileOnly.height, 600);
}

// A window the display cannot make is reported with the file that asked
// for it and the value as that file holds it (a number too large for an int
// included); a value nobody stored has no file.
TEST_F(SettingsTest, EachWindowValueKnowsTheFileThatGaveIt) {
  WriteRegistryInt("Display\\Width", 20000);
  WriteRegistryInt("Display\\Height", 480);
  WriteIni("[Display]\nHeight=99999999999\n");
  EXPECT_TRUE(settings_.Load(true));
  const std::string store = scratch_ / "registry.reg";
  EXPECT_EQ(settings_.widthOrigin.file, store);
  EXPECT_EQ(settings_.widthOrigin.text, "20000");
  EXPECT_EQ(settings_.height, INT32_MAX);
  EXPECT_EQ(settings_.heightOrigin.file, iniPath_);
  EXPECT_EQ(settings_.heightOrigin.text, "99999999999");
  EXPECT_TRUE(settings_.fullscreenOrigin.file.empty());

  uint8_t on = 1;
  ASSERT_TRUE(RegistryWriteValue("Display\\Fullscreen", 1, &on, 1, settings_.registryKeyPath.Chars()));
  EXPECT_TRUE(settings_.Load(true));
  EXPECT_EQ(settings_.fullscreenOrigin.file, store);
  EXPECT_EQ(settings_.fullscreenOrigin.text, "1");
}

TEST_F(SettingsTest, IniSectionsFollowTheirOwnRules) {
  WriteIni(
      "  [Display]\r\n"  // leading blanks and CRLF are trimmed
      "Width = 1024\n"   // the key ends in a blank: matches nothing
      "Height=768\n"
      "height=1\n"  // display keys are case-sensitive
      "Depth=24abc\n"
      "Top=-5\n"
      "Left=99999999999\n"  // saturates instead of overflowing
      "Fullscreen=yes\n"
      "API=DX\n"
      "no equals sign\n"
      "\n"
      "[Other]\n"
      "Width=2\n"  // another section ends [Display]
      "[System]\n"
      "title=Demo\n"  // whole [System] lines are upper-cased
      "LocalDir=data/levels\n"
      "DeveloperMode=0\n"
      "LogsToFiles=true\n"  // only "1" sets a flag
      "EnableLogging=1\n"
      "LogFilter=gem,gfx\n"
      "Mystery=1\n");
  EXPECT_TRUE(settings_.Load(true));
  EXPECT_EQ(settings_.width, 800);
  EXPECT_EQ(settings_.height, 768);
  EXPECT_EQ(settings_.depth, 24);
  EXPECT_EQ(settings_.top, -5);
  EXPECT_EQ(settings_.left, INT32_MAX);
  EXPECT_FALSE(settings_.fullscreen);
  EXPECT_EQ(settings_.api, 1);
  EXPECT_EQ(settings_.title, "DEMO");
  // The key path keeps the title the game set.
  EXPECT_EQ(settings_.registryKeyPath, "Software\\Velk Software Studio\\Novaliths");
  EXPECT_EQ(settings_.localDir, "DATA/LEVELS");
  EXPECT_FALSE(settings_.developerMode);
  EXPECT_FALSE(settings_.logsToFiles);
  EXPECT_TRUE(settings_.enableLogging);
  EXPECT_EQ(settings_.logFilter, "GEM,GFX");
  // Developer mode off: no dump.
  EXPECT_FALSE(LogContains(kLogGEM, "Title = "));
}

TEST_F(SettingsTest, FlagsAndInterfaceValuesTable) {
  struct Case {
    const char* value;
    bool flag;
  } cases[] = {{"1", true}, {"0", false}, {"yes", false}, {"true", false}, {"2", false}, {" 1", false}, {"", false}};
  for (const Case& c : cases) {
    CSettings loaded;
    loaded.SetIniName(iniPath_.c_str());
    loaded.fullscreen = !c.flag;
    loaded.api = 1;
    WriteIni(std::string("[Display]\nFullscreen=") + c.value + "\nAPI=" + (c.flag ? "OGL" : "GL") + "\n");
    loaded.Load(false);
    EXPECT_EQ(loaded.fullscreen, c.flag) << "value '" << c.value << "'";
    EXPECT_EQ(loaded.api, c.flag ? 0 : 1) << "value '" << c.value << "'";
  }
}

TEST_F(SettingsTest, DeveloperModeDumpsTheSettings) {
  WriteIni("[System]\nDeveloperMode=1\n[Display]\nWidth=1280\n");
  settings_.Load(false);
  std::vector<std::string> lines = LogLinesOf(kLogGEM);
  const std::string separator(72, '=');
  std::vector<std::string> expected = {separator,          "Settings [MODIFIED]", separator,
                                       "[System]",         "Title = Novaliths",   "LocalDir = ",
                                       "DevMode = 1",      "LogsToFiles = 0",     "Enable Logging = 1",
                                       "Log Filter = ALL", "[Display]",           "Top = 0",
                                       "Left = 0",         "Width = 1280",        "Height = 600",
                                       "Depth = 32",       "Fullscreen = 0"};
  ASSERT_GE(lines.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(lines.end() - static_cast<long>(expected.size()), lines.end()), expected);
}

TEST_F(SettingsTest, SaveWritesTheRegistryAndTheFourteenLineFile) {
  settings_.width = 1024;
  settings_.height = 768;
  settings_.fullscreen = true;
  settings_.top = -3;
  settings_.logFilter = "ALL";
  settings_.title = "Ignored";
  EXPECT_TRUE(settings_.Save(true));
  EXPECT_EQ(ReadIni(),
            "[System]\n"
            "LocalDir=\n"
            "DeveloperMode=1\n"
            "LogsToFiles=0\n"
            "EnableLogging=1\n"
            "LogFilter=ALL\n"
            "[Display]\n"
            "API=OGL\n"
            "Top=-3\n"
            "Left=0\n"
            "Width=1024\n"
            "Height=768\n"
            "Depth=32\n"
            "Fullscreen=1\n");
  EXPECT_TRUE(settings_.modified);
  EXPECT_TRUE(LogContains(kLogGEM, "Settings : Writing to registry..."));

  int32_t width = 0;
  uint8_t fullscreen = 0;
  EXPECT_EQ(settings_.ReadValue("Display\\Width", &width, sizeof width), 4u);
  EXPECT_EQ(RegistryReadValue("Display\\Fullscreen", &fullscreen, 1, settings_.registryKeyPath.Chars()), 1u);
  EXPECT_EQ(width, 1024);
  EXPECT_EQ(fullscreen, 1);

  // What was saved loads back.
  CSettings reloaded;
  reloaded.SetTitle("Novaliths");
  reloaded.SetIniName(iniPath_.c_str());
  reloaded.Load(true);
  EXPECT_EQ(reloaded.width, 1024);
  EXPECT_EQ(reloaded.top, -3);
  EXPECT_TRUE(reloaded.fullscreen);
  EXPECT_EQ(reloaded.logFilter, "ALL");
}

TEST_F(SettingsTest, AFailedSaveIsReportedWithItsFileAndReason) {
  std::string unreachable = scratch_ / "missing-folder/Settings.ini";
  settings_.SetIniName(unreachable.c_str());
  EXPECT_FALSE(settings_.Save(false));
  // The DBG channel's lines are the ones the terminal shows as errors.
  EXPECT_EQ(LogLinesOf(kLogDBG),
            std::vector<std::string>{"Settings : Failed to save '" + unreachable + "' : No such file or directory"});
}

// A settings file that is there but cannot be read is a warning (the
// terminal shows it), never a wait: a FIFO would hold an ordinary open.
TEST_F(SettingsTest, AnUnreadableIniFileIsAWarningAndNeverWaitedOn) {
  struct Case {
    const char* what;
    std::function<void(const std::string&)> make;
    const char* reason;
  } cases[] = {
      {"a folder", [](const std::string& path) { ASSERT_TRUE(platform::MakeFolder(path)); }, "Is a directory"},
      {"a FIFO", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0644), 0); }, "not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::remove(iniPath_.c_str());
    c.make(iniPath_);
    ClearLogLines(kLogDBG);
    EXPECT_FALSE(settings_.Load(false));
    EXPECT_EQ(settings_.width, 800);
    EXPECT_EQ(LogLinesOf(kLogDBG), std::vector<std::string>{"Settings : cannot read '" + iniPath_ + "' : " + c.reason});
  }
}

TEST_F(SettingsTest, TheIniFileIsSavedToTheUserFolderAndReadBackFromIt) {
  // A run folder holding the shipped defaults, and a user folder not made yet.
  const std::string previous = platform::CurrentDirectory();
  ASSERT_TRUE(platform::MakeFolder(scratch_ / "run"));
  ASSERT_EQ(chdir((scratch_ / "run").c_str()), 0);
  const std::string user = scratch_ / "user";
  const char* oldUser = std::getenv("VYRE_USER_DIR");
  const std::string previousUser = oldUser != nullptr ? oldUser : "";
  setenv("VYRE_USER_DIR", user.c_str(), 1);
  std::ofstream("Settings.ini") << "[Display]\nWidth=640\n";

  CSettings shipped;
  shipped.SetIniName("Settings.ini");
  EXPECT_TRUE(shipped.Load(false));
  EXPECT_EQ(shipped.width, 640) << "the run folder's copy is read while the player has none";
  EXPECT_FALSE(platform::PathExists(user)) << "a read made the user folder";

  shipped.width = 1024;
  EXPECT_TRUE(shipped.Save(false));
  EXPECT_TRUE(platform::PathExists(user + "/Settings.ini"));
  CSettings reloaded;
  reloaded.SetIniName("Settings.ini");
  EXPECT_TRUE(reloaded.Load(false));
  EXPECT_EQ(reloaded.width, 1024);
  std::ifstream runCopy("Settings.ini");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(runCopy), {}), "[Display]\nWidth=640\n")
      << "the shipped defaults stay as they were";

  setenv("VYRE_USER_DIR", previousUser.c_str(), 1);
  ASSERT_EQ(chdir(previous.c_str()), 0);
}

TEST_F(SettingsTest, OversizedIniFileIsRefused) {
  WriteIni("[Display]\nWidth=1024\n" + std::string(CSettings::kMaxIniBytes, '#'));
  EXPECT_FALSE(settings_.Load(false));
  EXPECT_EQ(settings_.width, 800);
  EXPECT_TRUE(LogContains(kLogDBG, "is larger than 65536 bytes; not read"));
}

TEST_F(SettingsTest, CommandLineIsRecordedNotApplied) {
  settings_.ParseCommandLine("/3ME models\\ship.3me  -X\t/SCN");
  ASSERT_EQ(settings_.GetArgumentCount(), 2u);
  EXPECT_EQ(settings_.GetArgument(0)->name, "3ME");
  EXPECT_EQ(settings_.GetArgument(0)->value, "models\\ship.3me");
  EXPECT_EQ(settings_.GetArgument(1)->name, "X");
  EXPECT_EQ(settings_.GetArgument(1)->value, "");
  EXPECT_EQ(settings_.GetArgument(2), nullptr);
  EXPECT_EQ(settings_.GetArgument(-1), nullptr);
  EXPECT_EQ(settings_.FindArgument("/3ME"), settings_.GetArgument(0));
  EXPECT_EQ(settings_.FindArgument("3me"), nullptr);
  EXPECT_EQ(settings_.FindArgument("/SCN"), nullptr);

  // A value with no option before it is kept under an empty name; a second
  // option replaces a pending one.
  settings_.ClearArguments();
  settings_.ParseCommandLine("loose /A /B value -Width=5");
  ASSERT_EQ(settings_.GetArgumentCount(), 3u);
  EXPECT_EQ(settings_.GetArgument(0)->name, "");
  EXPECT_EQ(settings_.GetArgument(0)->value, "loose");
  EXPECT_EQ(settings_.GetArgument(1)->name, "B");
  EXPECT_EQ(settings_.GetArgument(2)->name, "Width=5");
  EXPECT_EQ(settings_.width, 800);
  settings_.ParseCommandLine(nullptr);
  EXPECT_EQ(settings_.GetArgumentCount(), 3u);
}

TEST_F(SettingsTest, ModelAndSceneOptionsTakeAbsolutePathsAndMissingValuesAreLogged) {
  LogCapture log(kLogDBG);
  settings_.ParseCommandLine("/3ME /home/player/gem.3me /SCN -odd /A /B b -dev /SCN");
  ASSERT_EQ(settings_.GetArgumentCount(), 4u);
  EXPECT_EQ(settings_.FindArgument("/3ME")->value, "/home/player/gem.3me");
  EXPECT_EQ(settings_.FindArgument("/SCN")->value, "-odd");
  EXPECT_EQ(settings_.FindArgument("/B")->value, "b");
  EXPECT_EQ(settings_.FindArgument("A"), nullptr);
  EXPECT_NE(settings_.FindArgument("dev"), nullptr);
  EXPECT_EQ(log.Lines(),
            (std::vector<std::string>{"Option /A has no value; ignored", "Option /SCN has no value; ignored"}));

  // Relative paths as before.
  settings_.ClearArguments();
  settings_.ParseCommandLine("/SCN scenes/board.scn");
  EXPECT_EQ(settings_.FindArgument("/SCN")->value, "scenes/board.scn");
}

TEST_F(SettingsTest, GameValuesLiveBesideTheSettingsKey) {
  // The game keeps its own values under the settings' key.
  GetSettings()->SetTitle("Novaliths");
  int32_t music = 70, readMusic = 0;
  EXPECT_TRUE(RegistryWriteValue("Audio\\Music", 1, &music, sizeof music));
  EXPECT_TRUE(RegistryWriteValue("Profile", 0, "Ada", 3));
  char profile[1024] = {};
  EXPECT_EQ(RegistryReadValue("Audio\\Music", &readMusic, sizeof readMusic), 4u);
  EXPECT_EQ(RegistryReadValue("Profile", profile, sizeof profile), 4u);
  EXPECT_EQ(readMusic, 70);
  EXPECT_STREQ(profile, "Ada");
  EXPECT_EQ(RegistryReadValue("Audio\\Sound", &readMusic, sizeof readMusic), 0u);
  EXPECT_EQ(readMusic, 70);
  // The same value names under another key are other values.
  EXPECT_EQ(EngineKeyReadValue("Profile", profile, sizeof profile), 0u);
  EXPECT_TRUE(RegistrySelfTestWrite());
  EXPECT_TRUE(RegistrySelfTest());
}

TEST_F(SettingsTest, SystemValuesRoundTripThroughTheRegistryStoreOnly) {
  settings_.localDir = "GAMES\\NOVA";
  settings_.developerMode = false;
  settings_.logsToFiles = true;
  settings_.enableLogging = false;
  settings_.logFilter = "GEM";
  // Saving keeps the System values to the ini file.
  EXPECT_TRUE(settings_.Save(true));
  char text[16] = {};
  EXPECT_EQ(settings_.ReadValue("System\\LocalDirectory", text, sizeof text), 0u);

  settings_.WriteSystemRegistry();
  uint8_t flag = 7;
  EXPECT_EQ(settings_.ReadValue("System\\LogsToFiles", &flag, sizeof flag), 1u);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(settings_.ReadValue("System\\LogFilter", text, sizeof text), 4u);
  EXPECT_STREQ(text, "GEM");

  CSettings reloaded;
  reloaded.SetTitle("Novaliths");
  reloaded.ReadSystemRegistry();
  EXPECT_EQ(reloaded.localDir, "GAMES\\NOVA");
  EXPECT_FALSE(reloaded.developerMode);
  EXPECT_TRUE(reloaded.logsToFiles);
  EXPECT_FALSE(reloaded.enableLogging);
  EXPECT_EQ(reloaded.logFilter, "GEM");

  // An empty text is a value too; a filter is upper-cased as it is read.
  settings_.localDir = "";
  settings_.WriteSystemRegistry();
  ASSERT_TRUE(RegistryWriteValue("System\\LogFilter", 0, "msg,gfx", 7, settings_.registryKeyPath.Chars()));
  reloaded.ReadSystemRegistry();
  EXPECT_EQ(reloaded.localDir, "");
  EXPECT_EQ(reloaded.logFilter, "MSG,GFX");
}

TEST_F(SettingsTest, SystemRegistryReadSurvivesMissingOverlongAndDamagedValues) {
  const std::string key = settings_.registryKeyPath.Chars();
  const std::string longText(2000, 'a');
  struct Case {
    const char* what;
    std::function<void()> store;
    size_t localDirLength;  // 4 when "KEEP" stays
  } cases[] = {
      {"no store at all", [] {}, 4},
      {"a text longer than the buffer is cut to it",
       [&] { ASSERT_TRUE(RegistryWriteValue("System\\LocalDirectory", 0, longText.data(), 2000, key.c_str())); }, 1023},
      {"unterminated binary bytes stop at the buffer's end",
       [&] { ASSERT_TRUE(RegistryWriteValue("System\\LocalDirectory", 1, longText.data(), 2000, key.c_str())); }, 1023},
      {"garbage in the store file",
       [&] { std::ofstream(scratch_ / "registry.reg", std::ios::binary) << "\x01\xff[Software\nLocalDirectory=q\n"; },
       4},
  };
  for (const Case& c : cases) {
    std::remove((scratch_ / "registry.reg").c_str());
    c.store();
    CSettings reading;
    reading.SetTitle("Novaliths");
    reading.localDir = "KEEP";
    reading.logFilter = "ALL";
    reading.ReadSystemRegistry();
    EXPECT_EQ(reading.localDir.Length(), c.localDirLength) << c.what;
    EXPECT_TRUE(reading.developerMode) << c.what;
    EXPECT_TRUE(reading.enableLogging) << c.what;
    EXPECT_FALSE(reading.logsToFiles) << c.what;
    EXPECT_EQ(reading.logFilter, "ALL") << c.what;
  }
  EXPECT_TRUE(LogContains(kLogGEM, "[GEM] Registry : ")) << "the damaged store is reported";
}

// A registry store that cannot be used is left as it is: its values are
// ignored, no save replaces it, and the player's terminal says once, with
// the file and the reason, that this happened.
TEST_F(SettingsTest, ADamagedRegistryStoreIsNamedOnceWithItsReasonAndKeptAsItIs) {
  const std::string store = scratch_ / "registry.reg";
  // A store as the program writes it, to cut and to pad.
  WriteRegistryInt("Display\\Width", 1024);
  WriteRegistryInt("Display\\Height", 768);
  ASSERT_TRUE(RegistryWriteValue("Profile", 0, "Ada", 3, settings_.registryKeyPath.Chars()));
  std::string whole;
  {
    std::ifstream in(store, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    whole = buffer.str();
  }
  ASSERT_EQ(whole.back(), '\n');
  const std::string cut = whole.substr(0, whole.size() - 4);
  const long cutLines = long(std::count(cut.begin(), cut.end(), '\n')) + 1;
  std::string noise;
  uint32_t state = 7;
  for (int i = 0; i < 3000; ++i) {
    state = state * 1664525u + 1013904223u;
    noise += char(state >> 24);
  }
  std::string padded = whole;
  while (padded.size() <= (1u << 20)) padded += "; a comment that makes the store too large\n";

  struct Case {
    const char* what;
    std::string bytes;  // the file's (unused for the folder)
    std::string reason;
  } cases[] = {
      {"garbage", noise, "is not a registry store"},
      {"a settings file in its place", "[Display]\nWidth=640\nFullscreen=1\n", "is not a registry store"},
      {"truncated", cut, "is truncated at line " + std::to_string(cutLines)},
      {"over the size limit", padded, "is larger than 1048576 bytes"},
      {"a folder in its place", "", "cannot be read: Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // Each case is a store of its own, as in a run of its own.
    const std::string path = scratch_ / (std::string("store-") + std::to_string(&c - cases) + ".reg");
    setenv("VYRE_REGISTRY", path.c_str(), 1);
    if (std::string(c.what) == "a folder in its place") {
      ASSERT_TRUE(platform::MakeFolder(path));
    } else {
      std::ofstream(path, std::ios::binary) << c.bytes;
    }
    LogCapture log(kLogGEM);
    testing::internal::CaptureStderr();
    // A whole run's use of the store: the Display values read at the start,
    // the game's own values read and written, the settings saved at exit.
    CSettings run;
    run.SetTitle("Novaliths");
    run.SetIniName(iniPath_.c_str());
    run.Load(true);
    int32_t music = 50;
    EXPECT_EQ(RegistryReadValue("Audio\\Music", &music, sizeof music, run.registryKeyPath.Chars()), 0u);
    EXPECT_FALSE(RegistryWriteValue("Audio\\Music", 1, &music, sizeof music, run.registryKeyPath.Chars()));
    run.Save(true);
    run.Load(true);
    const std::string terminal = testing::internal::GetCapturedStderr();

    EXPECT_EQ(run.width, 800) << "no value of the damaged store is used";
    const std::string line =
        "Registry store '" + path + "' " + c.reason + "; its values are ignored and the file is kept as it is";
    std::vector<std::string> storeLines;
    for (const std::string& logged : log.Lines()) {
      if (logged.find("Registry") != std::string::npos) storeLines.push_back(logged);
    }
    EXPECT_EQ(storeLines, std::vector<std::string>{"[GEM] Registry : " + line});
    EXPECT_EQ(terminal, "[GEM] Registry : " + line + "\n");
    if (std::string(c.what) == "a folder in its place") {
      EXPECT_TRUE(platform::IsFolder(path));
    } else {
      std::ifstream in(path, std::ios::binary);
      std::stringstream kept;
      kept << in.rdbuf();
      EXPECT_TRUE(kept.str() == c.bytes) << "the store was written over";
    }
  }
  setenv("VYRE_REGISTRY", store.c_str(), 1);
}

TEST_F(SettingsTest, SettingsAreTheLogsSwitches) {
  EXPECT_EQ(&GetLogSettings(), &settings_);
  settings_.logFilter = "GEM";
  EXPECT_STREQ(GetLogSettings().LogFilter(), "GEM");
}

// Files switched on with the filter left as it stands: every module channel
// writes its own file beside the main one.
TEST_F(SettingsTest, TheDefaultFilterGivesEveryModuleChannelItsFile) {
  const std::string previousUserFolder = getenv("VYRE_USER_DIR") ? getenv("VYRE_USER_DIR") : "";
  setenv("VYRE_USER_DIR", (scratch_ / "user").c_str(), 1);
  WriteIni("[System]\nLogsToFiles=1\n");
  settings_.Load(false);
  Log::Reset();
  LogPrintf(kLogMAT, "material");
  LogGEM("engine");
  const std::string runFolder = Log::RunFolder().Chars();
  Log::Reset();
  setenv("VYRE_USER_DIR", previousUserFolder.c_str(), 1);
  EXPECT_FALSE(runFolder.empty());
  for (const char* file : {"/Vyre.txt", "/MAT.txt", "/GEM.txt"})
    EXPECT_TRUE(platform::PathExists(runFolder + file)) << file;
}

}  // namespace
