#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/RegistryStore.h"
#include "platform/TempFolder.h"

namespace {

using platform::RegistryRead;
using platform::RegistryValueType;
using platform::RegistryWrite;

constexpr const char* kAppKey = "Software\\Velk Software Studio\\Novaliths";

std::vector<std::string> gDiagnostics;
std::vector<platform::Severity> gSeverities;
void CollectDiagnostic(platform::Severity severity, const char* line) {
  gDiagnostics.emplace_back(line);
  gSeverities.push_back(severity);
}

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(scratch_.Path().empty());
    folder_ = scratch_.Path();
    storePath_ = scratch_ / "store.reg";
    setenv("VYRE_REGISTRY", storePath_.c_str(), 1);
    gDiagnostics.clear();
    gSeverities.clear();
    platform::SetRegistryDiagnostic(CollectDiagnostic);
  }
  void TearDown() override { platform::SetRegistryDiagnostic(nullptr); }

  void WriteStoreFile(const std::string& text) { std::ofstream(storePath_, std::ios::binary) << text; }
  std::string ReadStoreFile() {
    std::ifstream in(storePath_, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
  }

  platform::ScopedTempFolder scratch_{"vyre-registry"};
  std::string folder_;
  std::string storePath_;
};

TEST_F(RegistryStoreTest, RoundTripsTextAndNumbersUnderNestedKeys) {
  const std::string display = std::string(kAppKey) + "\\Display";
  const std::string audio = std::string(kAppKey) + "\\Audio\\Levels";
  int32_t width = 1024, negative = -7;
  uint8_t fullscreen = 1;
  ASSERT_TRUE(RegistryWrite(display, "Width", RegistryValueType::Binary, &width, 4));
  ASSERT_TRUE(RegistryWrite(display, "Fullscreen", RegistryValueType::Binary, &fullscreen, 1));
  ASSERT_TRUE(RegistryWrite(audio, "Music", RegistryValueType::Binary, &negative, 4));
  // Text with every character the line syntax uses, and line ends.
  const char* awkward = "A=b [c]%d\\e\r\nf\tg";
  ASSERT_TRUE(
      RegistryWrite(kAppKey, "Profile", RegistryValueType::Text, awkward, static_cast<uint32_t>(std::strlen(awkward))));
  // Names that begin the way a comment line does.
  for (const char* name : {"; semicolon=", "#hash"})
    ASSERT_TRUE(RegistryWrite(kAppKey, name, RegistryValueType::Text, name, static_cast<uint32_t>(std::strlen(name))));

  int32_t readWidth = 0, readMusic = 0;
  uint8_t readFullscreen = 0;
  char text[64] = {};
  EXPECT_EQ(RegistryRead(display, "Width", &readWidth, 4), 4u);
  EXPECT_EQ(RegistryRead(display, "Fullscreen", &readFullscreen, 1), 1u);
  EXPECT_EQ(RegistryRead(audio, "Music", &readMusic, 4), 4u);
  EXPECT_EQ(RegistryRead(kAppKey, "Profile", text, sizeof text), std::strlen(awkward) + 1);
  EXPECT_EQ(readWidth, 1024);
  EXPECT_EQ(readFullscreen, 1);
  EXPECT_EQ(readMusic, -7);
  EXPECT_STREQ(text, awkward);
  for (const char* name : {"; semicolon=", "#hash"}) {
    EXPECT_EQ(RegistryRead(kAppKey, name, text, sizeof text), std::strlen(name) + 1) << name;
    EXPECT_STREQ(text, name);
  }

  // Overwriting keeps one value; names and keys ignore case and stray slashes.
  width = 640;
  ASSERT_TRUE(RegistryWrite(std::string(kAppKey) + "\\DISPLAY\\", "width", RegistryValueType::Binary, &width, 4));
  EXPECT_EQ(RegistryRead(display, "WIDTH", &readWidth, 4), 4u);
  EXPECT_EQ(readWidth, 640);
  RegistryValueType type;
  ASSERT_TRUE(platform::RegistryValueTypeOf(kAppKey, "profile", &type));
  EXPECT_EQ(type, RegistryValueType::Text);
  EXPECT_TRUE(gDiagnostics.empty());
}

TEST_F(RegistryStoreTest, ReadsRespectCapacityAndLeaveMissingValuesUntouched) {
  ASSERT_TRUE(RegistryWrite(kAppKey, "Name", RegistryValueType::Text, "abcdef", 6));
  uint32_t number = 0x01020304;
  ASSERT_TRUE(RegistryWrite(kAppKey, "Number", RegistryValueType::Binary, &number, 4));

  char small[4];
  std::memset(small, 'x', sizeof small);
  EXPECT_EQ(RegistryRead(kAppKey, "Name", small, sizeof small), 4u);
  EXPECT_STREQ(small, "abc");

  uint8_t narrow[2] = {0xEE, 0xEE};
  EXPECT_EQ(RegistryRead(kAppKey, "Number", narrow, 1), 1u);
  EXPECT_EQ(narrow[0], 0x04);
  EXPECT_EQ(narrow[1], 0xEE);

  int32_t untouched = 55;
  EXPECT_EQ(RegistryRead(kAppKey, "Missing", &untouched, 4), 0u);
  EXPECT_EQ(RegistryRead("Software\\Velk Software Studio\\Other", "Number", &untouched, 4), 0u);
  EXPECT_EQ(RegistryRead(kAppKey, "Number", &untouched, 0), 0u);
  EXPECT_EQ(untouched, 55);

  // An empty text is present, not missing.
  ASSERT_TRUE(RegistryWrite(kAppKey, "Empty", RegistryValueType::Text, "", 0));
  char empty[8] = "zzz";
  EXPECT_EQ(RegistryRead(kAppKey, "Empty", empty, sizeof empty), 1u);
  EXPECT_STREQ(empty, "");
}

TEST_F(RegistryStoreTest, MissingFileReadsAsEmptyAndIsCreatedOnWrite) {
  std::string nested = folder_ + "/a/b/store.reg";
  setenv("VYRE_REGISTRY", nested.c_str(), 1);
  int32_t value = 3;
  EXPECT_EQ(RegistryRead(kAppKey, "Value", &value, 4), 0u);
  ASSERT_TRUE(RegistryWrite(kAppKey, "Value", RegistryValueType::Binary, &value, 4));
  struct stat info;
  EXPECT_EQ(stat(nested.c_str(), &info), 0);
  EXPECT_TRUE(gDiagnostics.empty());
}

TEST_F(RegistryStoreTest, GarbageLinesAreReportedAndSkipped) {
  WriteStoreFile(
      "value before any key=b:00\n"
      "[Software\\Velk Software Studio\\Novaliths]\n"
      "Good=b:2A000000\n"
      "NoType=x:00\n"
      "OddHex=b:ABC\n"
      "BadEscape=s:%Z1\n"
      "=s:no name\n"
      "[unterminated key\n"
      "Lost=b:01\n"
      "[Software\\Velk Software Studio\\Novaliths]\r\n"
      "Text=s:ok\r\n"
      "\x01\x02\xff garbage\n");
  int32_t good = 0;
  char text[8] = {};
  EXPECT_EQ(RegistryRead(kAppKey, "Good", &good, 4), 4u);
  EXPECT_EQ(good, 42);
  EXPECT_EQ(RegistryRead(kAppKey, "Text", text, sizeof text), 3u);
  EXPECT_STREQ(text, "ok");
  EXPECT_EQ(RegistryRead(kAppKey, "OddHex", &good, 4), 0u);
  EXPECT_EQ(RegistryRead(kAppKey, "Lost", &good, 4), 0u);
  ASSERT_EQ(gDiagnostics.size(), 8u);
  EXPECT_NE(gDiagnostics[0].find("bad value at line 1"), std::string::npos);
  EXPECT_NE(gDiagnostics[5].find("bad key at line 8"), std::string::npos);

  // A write keeps the good values and drops the garbage.
  int32_t more = 9;
  ASSERT_TRUE(RegistryWrite(kAppKey, "More", RegistryValueType::Binary, &more, 4));
  gDiagnostics.clear();
  EXPECT_EQ(RegistryRead(kAppKey, "Good", &good, 4), 4u);
  EXPECT_TRUE(gDiagnostics.empty());
}

TEST_F(RegistryStoreTest, OversizedFileIsRefusedAndNotOverwritten) {
  std::string huge(2 << 20, ';');
  WriteStoreFile(huge);
  int32_t value = 1;
  EXPECT_EQ(RegistryRead(kAppKey, "Value", &value, 4), 0u);
  EXPECT_FALSE(RegistryWrite(kAppKey, "Value", RegistryValueType::Binary, &value, 4));
  EXPECT_EQ(ReadStoreFile().size(), huge.size());
  ASSERT_FALSE(gDiagnostics.empty());
  EXPECT_NE(gDiagnostics.back().find("is larger than"), std::string::npos);
}

TEST_F(RegistryStoreTest, UnwritableFolderReportsFailure) {
  // A regular file where the folder should be.
  WriteStoreFile("");
  std::string inside = storePath_ + "/store.reg";
  setenv("VYRE_REGISTRY", inside.c_str(), 1);
  int32_t value = 1;
  EXPECT_FALSE(RegistryWrite(kAppKey, "Value", RegistryValueType::Binary, &value, 4));
  ASSERT_FALSE(gDiagnostics.empty());
  EXPECT_NE(gDiagnostics.back().find("cannot"), std::string::npos);
}

// A store file the store leaves alone is a warning for the player, said once
// however often the run reads it; skipped lines of a store that is read are
// notes for the log.
TEST_F(RegistryStoreTest, AStoreLeftAloneIsOneWarningForTheRunAndSkippedLinesAreNotes) {
  // A file where the store's folder should be: every read fails anew.
  WriteStoreFile("");
  const std::string inside = storePath_ + "/store.reg";
  setenv("VYRE_REGISTRY", inside.c_str(), 1);
  int32_t value = 4;
  for (int read = 0; read < 3; ++read) EXPECT_EQ(RegistryRead(kAppKey, "Value", &value, 4), 0u);
  EXPECT_FALSE(RegistryWrite(kAppKey, "Value", RegistryValueType::Binary, &value, 4));
  EXPECT_EQ(gDiagnostics, std::vector<std::string>{"Registry store '" + inside +
                                                   "' cannot be read: Not a directory; its values are ignored and "
                                                   "the file is kept as it is"});
  EXPECT_EQ(gSeverities, std::vector<platform::Severity>{platform::Severity::Warning});

  // The store's own header line makes a file a store, even one whose only
  // value line is damaged; a store cut inside its last line is left alone.
  setenv("VYRE_REGISTRY", storePath_.c_str(), 1);
  gDiagnostics.clear();
  gSeverities.clear();
  WriteStoreFile("; Vyre registry store\n[Software\\Velk Software Studio\\Novaliths]\nValue=b:0\n");
  EXPECT_EQ(RegistryRead(kAppKey, "Value", &value, 4), 0u);
  EXPECT_EQ(gSeverities, std::vector<platform::Severity>{platform::Severity::Info});
  const std::string cut = "; Vyre registry store\n[Software\\Velk Software Studio\\Novaliths]\nValue=b:0100";
  WriteStoreFile(cut);
  EXPECT_EQ(RegistryRead(kAppKey, "Value", &value, 4), 0u);
  EXPECT_FALSE(RegistryWrite(kAppKey, "Other", RegistryValueType::Binary, &value, 4));
  EXPECT_EQ(ReadStoreFile(), cut);
  ASSERT_EQ(gSeverities.size(), 2u);
  EXPECT_EQ(gSeverities[1], platform::Severity::Warning);
  EXPECT_NE(gDiagnostics[1].find("is truncated at line 3"), std::string::npos) << gDiagnostics[1];
  EXPECT_EQ(value, 4);
}

// An editor that keeps no final line end saves a store the program wrote
// without it: the store is read and saved as before. A store cut inside its
// last line is refused and kept: a value line, whose length nothing
// declares, is never taken for whole without its line end.
TEST_F(RegistryStoreTest, AStoreWithoutItsFinalLineEndIsReadUnlessItsLastLineCouldBeCut) {
  const std::string display = std::string(kAppKey) + "\\Display";
  const int32_t width = 1024;
  const uint8_t fullscreen = 1;
  ASSERT_TRUE(RegistryWrite(kAppKey, "Profile", RegistryValueType::Text, "bob", 3));
  ASSERT_TRUE(RegistryWrite(display, "Width", RegistryValueType::Binary, &width, 4));
  ASSERT_TRUE(RegistryWrite(display, "Fullscreen", RegistryValueType::Binary, &fullscreen, 1));
  const std::string written = ReadStoreFile();
  ASSERT_EQ(written.back(), '\n');
  const std::string unended = written.substr(0, written.size() - 1);
  const std::string crlf = "; Vyre registry store\r\n[Software\\Velk Software Studio\\Novaliths]\r\nProfile=s:bob\r\n";
  const struct Case {
    const char* what;
    std::string text;
    long cutAtLine;  // 0: the store is read
  } cases[] = {
      {"the program's store", unended, 0},
      {"the program's store, CRLF line ends", crlf + "; end of store\r", 0},
      {"a key line last", crlf + "[Software\\Velk Software Studio\\Novaliths\\Display]", 0},
      {"cut inside the end line", unended.substr(0, unended.size() - 3), 7},
      {"cut inside a text value", crlf + "Profile=s:bo", 4},
      {"cut inside a binary value", crlf + "Width=b:0004", 4},
      {"a whole value line, as an older store ends", crlf + "Width=b:00040000", 4},
      {"cut inside a key line", crlf + "[Software\\Velk Software", 4},
      {"cut inside the header", "; Vyre regis", 1},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A file of its own each: a store left alone is said once per run.
    storePath_ = scratch_ / ("store" + std::to_string(++number) + ".reg");
    setenv("VYRE_REGISTRY", storePath_.c_str(), 1);
    gDiagnostics.clear();
    WriteStoreFile(c.text);
    char profile[8] = "none";
    const int32_t more = 7;
    if (c.cutAtLine == 0) {
      EXPECT_EQ(RegistryRead(kAppKey, "Profile", profile, sizeof profile), 4u);
      EXPECT_STREQ(profile, "bob");
      EXPECT_TRUE(RegistryWrite(kAppKey, "More", RegistryValueType::Binary, &more, 4));
      EXPECT_EQ(ReadStoreFile().back(), '\n');
      EXPECT_EQ(RegistryRead(kAppKey, "Profile", profile, sizeof profile), 4u);
      EXPECT_TRUE(gDiagnostics.empty()) << gDiagnostics.front();
    } else {
      EXPECT_EQ(RegistryRead(kAppKey, "Profile", profile, sizeof profile), 0u);
      EXPECT_FALSE(RegistryWrite(kAppKey, "More", RegistryValueType::Binary, &more, 4));
      EXPECT_EQ(ReadStoreFile(), c.text);
      EXPECT_EQ(gDiagnostics, std::vector<std::string>{"Registry store '" + storePath_ + "' is truncated at line " +
                                                       std::to_string(c.cutAtLine) +
                                                       "; its values are ignored and the file is kept as it is"});
    }
  }
  // Every value of the program's store, not only the first key's.
  int32_t readWidth = 0;
  uint8_t readFullscreen = 0;
  WriteStoreFile(unended);
  EXPECT_EQ(RegistryRead(display, "Width", &readWidth, 4), 4u);
  EXPECT_EQ(RegistryRead(display, "Fullscreen", &readFullscreen, 1), 1u);
  EXPECT_EQ(readWidth, width);
  EXPECT_EQ(readFullscreen, fullscreen);
}

// Each application key has its own file: in the user folder when
// VYRE_USER_DIR names one, so a fresh user folder starts with no other
// folder's window size or profile; else in the configuration folder.
TEST_F(RegistryStoreTest, EachApplicationKeyHasItsOwnFileInTheUserOrConfigFolder) {
  const std::string previousUser = getenv("VYRE_USER_DIR") ? getenv("VYRE_USER_DIR") : "";
  const std::string config = folder_ + "/config";
  const std::string user = folder_ + "/user";
  unsetenv("VYRE_REGISTRY");
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  for (const bool named : {false, true}) {
    SCOPED_TRACE(named ? "VYRE_USER_DIR" : "XDG_CONFIG_HOME");
    if (named) {
      setenv("VYRE_USER_DIR", user.c_str(), 1);
    } else {
      unsetenv("VYRE_USER_DIR");
    }
    const std::string store = named ? user + "/" : config + "/Velk Software Studio/";
    EXPECT_EQ(platform::RegistryFileFor("Software\\Velk Software Studio\\Novaliths\\Display"), store + "Novaliths.reg");
    EXPECT_EQ(platform::RegistryFileFor("software\\velk software studio\\Vyre\\"), store + "Vyre.reg");
    EXPECT_EQ(platform::RegistryFileFor("Software\\Velk Software Studio\\"), store + "Registry.reg");
    EXPECT_EQ(platform::RegistryFileFor("Software\\Velk Software Studio\\a/b"), store + "a_b.reg");

    int32_t value = named ? 5 : 6, readBack = 0;
    ASSERT_TRUE(RegistryWrite(kAppKey, "Value", RegistryValueType::Binary, &value, 4));
    EXPECT_EQ(RegistryRead(kAppKey, "Value", &readBack, 4), 4u);
    EXPECT_EQ(readBack, value);
    struct stat info;
    EXPECT_EQ(stat((store + "Novaliths.reg").c_str(), &info), 0);
  }
  // The run with its own user folder left the configuration folder's value alone.
  unsetenv("VYRE_USER_DIR");
  int32_t configValue = 0;
  EXPECT_EQ(RegistryRead(kAppKey, "Value", &configValue, 4), 4u);
  EXPECT_EQ(configValue, 6);
  unsetenv("XDG_CONFIG_HOME");
  setenv("VYRE_USER_DIR", previousUser.c_str(), 1);
}

}  // namespace
