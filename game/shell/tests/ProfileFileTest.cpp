#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/foundation/DirList.h"
#include "game/shell/Profile.h"
#include "platform/Random.h"
#include "support/ShellTestSupport.h"

namespace {

using namespace shell_test;

// The file of FillEveryField's "Bob", field by field.
std::string GoldenBob() {
  std::string bytes("0.5\0bob\0", 8);
  bytes += Words({11, 12, 13, 15, 16, 17, 18, 19, static_cast<uint32_t>(-20)}) + FloatWord(1.5f);
  bytes += Words({21, 22, 23, 25, 26, 27, 28, 29, static_cast<uint32_t>(-30)}) + FloatWord(2.5f);
  bytes += Words({31, 32});                  // best levels
  bytes += Words({33, 34, 35});              // excellence, skillful, masterful
  bytes += Words({36, 37, 38, 39, 40, 41});  // cascades .. rainbows
  bytes += std::string("\1", 1) + std::string(26, '\0') + std::string("\1", 1);
  bytes += Words({42, 43});  // best scores
  bytes += Words({44});      // gems cleared
  bytes += Words({45, 46, 47, 48, 49, 50, 51, 52, 53, 54});
  bytes += Words({55, 56, 57, 58, 59});
  bytes += Words({60, 61, 62, 63, 64});
  bytes += Words({kGemGreen, kGemStar, 1});  // the rainbow run
  return bytes;
}

// The stored fields of two profiles are equal (discsCompleted is not stored).
void ExpectSameStoredFields(const Profile& a, const Profile& b) {
  EXPECT_STREQ(a.name.Chars(), b.name.Chars());
  for (int m = 0; m < kModeCount; ++m) {
    SCOPED_TRACE(m);
    const ModeStats& x = a.modes[m];
    const ModeStats& y = b.modes[m];
    EXPECT_EQ(x.score, y.score);
    EXPECT_EQ(x.pendingScore, y.pendingScore);
    EXPECT_EQ(x.discIndex, y.discIndex);
    EXPECT_EQ(x.parCompletions, y.parCompletions);
    EXPECT_EQ(x.totalStars, y.totalStars);
    EXPECT_EQ(x.constellationIndex, y.constellationIndex);
    EXPECT_EQ(x.constellationCount, y.constellationCount);
    EXPECT_EQ(x.level, y.level);
    EXPECT_EQ(x.gemsToNextLevel, y.gemsToNextLevel);
    EXPECT_EQ(x.timePlayed, y.timePlayed);
    EXPECT_EQ(a.bestLevel[m], b.bestLevel[m]);
    EXPECT_EQ(a.bestScore[m], b.bestScore[m]);
  }
  EXPECT_EQ(a.excellence, b.excellence);
  EXPECT_EQ(a.skillfulCascades, b.skillfulCascades);
  EXPECT_EQ(a.masterfulCascades, b.masterfulCascades);
  EXPECT_EQ(a.cascades, b.cascades);
  EXPECT_EQ(a.stars, b.stars);
  EXPECT_EQ(a.parStars, b.parStars);
  EXPECT_EQ(a.constellations, b.constellations);
  EXPECT_EQ(a.panicStars, b.panicStars);
  EXPECT_EQ(a.rainbows, b.rainbows);
  EXPECT_EQ(std::vector<uint8_t>(a.achieved, a.achieved + GameProfile::kAchievementCount),
            std::vector<uint8_t>(b.achieved, b.achieved + GameProfile::kAchievementCount));
  EXPECT_EQ(a.gemsCleared, b.gemsCleared);
  EXPECT_EQ(std::vector<uint32_t>(a.gemsByColour, a.gemsByColour + kGemColourCount),
            std::vector<uint32_t>(b.gemsByColour, b.gemsByColour + kGemColourCount));
  EXPECT_EQ(std::vector<uint32_t>(a.gemsByType, a.gemsByType + kGemTypeCount),
            std::vector<uint32_t>(b.gemsByType, b.gemsByType + kGemTypeCount));
  EXPECT_EQ(std::vector<uint32_t>(a.typeMatches, a.typeMatches + kGemTypeCount),
            std::vector<uint32_t>(b.typeMatches, b.typeMatches + kGemTypeCount));
  EXPECT_EQ(a.rainbow.colour, b.rainbow.colour);
  EXPECT_EQ(a.rainbow.type, b.rainbow.type);
  EXPECT_EQ(a.rainbow.state, b.rainbow.state);
}

class ProfileFile : public ::testing::Test {
 protected:
  PlayerFolders folders_;
  const std::string bobPath_ = folders_.User("Profiles/bob.profile");
};

TEST_F(ProfileFile, BobIsSavedAsTheGoldenFileAndLoadsBackWithEveryStoredField) {
  Profile bob;
  FillEveryField(bob, "Bob");
  ASSERT_TRUE(bob.Save());
  const std::string written = ReadBytes(bobPath_);
  EXPECT_EQ(written.size(), 264u);
  EXPECT_EQ(written, GoldenBob());
  // Saved in the user folder only, never in the working directory.
  EXPECT_FALSE(platform::PathExists(folders_.Work("Profiles/bob.profile")));

  Profile loaded;
  loaded.modes[kModeChallenge].discsCompleted = 99;
  ASSERT_TRUE(loaded.Load("Bob"));
  ExpectSameStoredFields(loaded, bob);
  // Not stored: it keeps what the object held.
  EXPECT_EQ(loaded.modes[kModeChallenge].discsCompleted, 99u);
  EXPECT_EQ(loaded.modes[kModePanic].discsCompleted, 0u);
  EXPECT_TRUE(GemLines().empty());
}

TEST_F(ProfileFile, OnlyTheExactVersionTagLoadsAndARefusalChangesNothing) {
  const std::string fields = GoldenBob().substr(4);
  struct Case {
    std::string bytes;
    bool loads;
  } cases[] = {
      {std::string("0.5\0", 4) + fields, true},
      {std::string("0.4\0", 4) + fields, false},
      {std::string("HB0.5\0", 6) + fields, false},
      {std::string("0.5\n", 4) + fields, false},
      {"0.5", false},
      {"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes.substr(0, 6)));
    WriteBytes(bobPath_, c.bytes);
    Profile profile;
    profile.SetName("keep");
    profile.stars = 7;
    ClearTerminalLines();
    EXPECT_EQ(profile.Load("bob"), c.loads);
    EXPECT_STREQ(profile.name.Chars(), c.loads ? "bob" : "keep");
    EXPECT_EQ(profile.stars, c.loads ? 37u : 7u);
    // A refusal is a warning: the player sees it on the terminal.
    const std::vector<std::string> lines = TerminalLines();
    if (!c.loads) {
      ASSERT_EQ(lines.size(), 1u);
      EXPECT_EQ(lines[0], "Profile file " + bobPath_ + " refused : no version tag \"0.5\"");
    }
  }
}

TEST_F(ProfileFile, ACutFileLoadsAsFarAsItGoesAndSaysWhereItEnds) {
  const std::string golden = GoldenBob();
  constexpr size_t P = 8;  // the fields start after "0.5", "bob" and their zero bytes
  struct Case {
    const char* where;
    size_t length;
    // Expected afterwards, in a fresh profile with discsCompleted 5.
    uint32_t challengeScore, challengeParCompletions, challengeLevel, panicLevel;
    uint32_t rainbows, gemsCleared, typeMatchesStar;
    uint8_t firstAchieved;
    int rainbowColour;
  } cases[] = {
      // Past the cut the single values read 0 (level too) until the first
      // block fails; every later field keeps the fresh profile's value.
      {"inside the name", 6, 0, 0, 0, 0, 0, 0, 0, 0, kGemRed},
      {"inside the Challenge values", P + 14, 11, 0, 0, 0, 0, 0, 0, 0, kGemRed},
      {"inside achieved", P + 124 + 10, 11, 15, 19, 29, 41, 0, 0, 0, kGemRed},
      {"inside the rainbow", P + 250, 11, 15, 19, 29, 41, 44, 64, 1, kGemRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    WriteBytes(bobPath_, golden.substr(0, c.length));
    ClearGemLines();
    Profile profile;
    profile.modes[kModeChallenge].discsCompleted = 5;
    ASSERT_TRUE(profile.Load("bob"));
    EXPECT_STREQ(profile.name.Chars(), "bob");
    EXPECT_EQ(profile.modes[kModeChallenge].score, c.challengeScore);
    EXPECT_EQ(profile.modes[kModeChallenge].parCompletions, c.challengeParCompletions);
    EXPECT_EQ(profile.modes[kModeChallenge].level, c.challengeLevel);
    EXPECT_EQ(profile.modes[kModeChallenge].discsCompleted, 5u);
    EXPECT_EQ(profile.modes[kModePanic].level, c.panicLevel);
    EXPECT_EQ(profile.rainbows, c.rainbows);
    EXPECT_EQ(profile.gemsCleared, c.gemsCleared);
    EXPECT_EQ(profile.typeMatches[kGemStar], c.typeMatchesStar);
    EXPECT_EQ(profile.achieved[0], c.firstAchieved);
    EXPECT_EQ(profile.rainbow.colour, c.rainbowColour);
    EXPECT_EQ(GemLines(), std::vector<std::string>{"Profile file " + bobPath_ + " is cut short : it ends at byte " +
                                                   std::to_string(c.length)});
  }
}

TEST_F(ProfileFile, TheStoredNameNeverLeadsOutsideTheProfilesFolder) {
  const std::string fields = GoldenBob().substr(8);
  struct Case {
    std::string stored;
    bool loads;
    const char* name;  // after the load
  } cases[] = {
      {std::string(256, 'a'), false, "keep"},
      {"../x", true, "bob"},
      {"", true, "bob"},
      {".hidden", true, "bob"},
      {"Bob", true, "bob"},
      {"Ann", true, "ann"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    WriteBytes(bobPath_, std::string("0.5\0", 4) + c.stored + std::string(1, '\0') + fields);
    Profile profile;
    profile.SetName("keep");
    EXPECT_EQ(profile.Load("bob"), c.loads);
    EXPECT_STREQ(profile.name.Chars(), c.name);
    // The fields after the name are read from their place whatever the name.
    EXPECT_EQ(profile.stars, c.loads ? 37u : 0u);
  }
  // Saving a profile whose stored name was unsafe writes its own file.
  WriteBytes(bobPath_, std::string("0.5\0../x\0", 9) + fields);
  Profile profile;
  ASSERT_TRUE(profile.Load("bob"));
  ASSERT_TRUE(profile.Save());
  EXPECT_FALSE(platform::PathExists(folders_.User("x.profile")));
  EXPECT_EQ(ReadBytes(bobPath_), GoldenBob());
}

TEST_F(ProfileFile, EmptyAndUnsafeNamesAreRefusedByEveryFileOperation) {
  for (const char* name : {"", "../x", "a/b", "a\\b", ".x", "tab\there", "sixteen-letters!"}) {
    SCOPED_TRACE(name);
    Profile profile;
    profile.name = name;
    EXPECT_FALSE(profile.Save());
    EXPECT_FALSE(profile.Delete());
    EXPECT_FALSE(profile.Load(name));
    EXPECT_FALSE(Profile::Exists(name));
  }
  EXPECT_FALSE(platform::PathExists(folders_.User("Profiles/.profile")));
  EXPECT_FALSE(platform::PathExists(folders_.User("x.profile")));
}

TEST_F(ProfileFile, SavesLandInTheUserFolderAndAWorkingDirectoryCopyStillLoads) {
  Profile bob;
  FillEveryField(bob, "bob");
  ASSERT_TRUE(bob.Save());
  EXPECT_TRUE(Profile::Exists("Bob"));

  // A profile shipped beside the program, not yet in the user folder.
  std::string ann = GoldenBob();
  ann.replace(4, 3, "ann");
  WriteBytes(folders_.Work("Profiles/ann.profile"), ann);
  EXPECT_TRUE(Profile::Exists("ann"));
  Profile loaded;
  ASSERT_TRUE(loaded.Load("ann"));
  EXPECT_STREQ(loaded.name.Chars(), "ann");
  EXPECT_EQ(loaded.stars, 37u);
  // Its next save goes to the user folder.
  ASSERT_TRUE(loaded.Save());
  EXPECT_EQ(ReadBytes(folders_.User("Profiles/ann.profile")), ann);

  EXPECT_TRUE(bob.Delete());
  EXPECT_FALSE(Profile::Exists("bob"));
  EXPECT_FALSE(bob.Delete());
}

TEST_F(ProfileFile, ASaveThatCannotWriteReturnsFalseAndLogsTheFile) {
  // A file where the folder should be: nothing can be written under it.
  WriteBytes(folders_.User("Profiles"), "not a folder");
  Profile bob;
  bob.SetName("bob");
  EXPECT_FALSE(bob.Save());
  EXPECT_EQ(GemLines(), std::vector<std::string>{"Failed to write profile file " + bobPath_ + " : Not a directory"});
  EXPECT_STREQ(bob.saveFailure.Chars(), (bobPath_ + " : Not a directory").c_str());
  // The player is told once, with the file and the reason.
  EXPECT_FALSE(bob.SaveReported());
  EXPECT_EQ(TerminalLines(),
            std::vector<std::string>{"Failed to save profile bob : " + bobPath_ + " : Not a directory"});
  std::remove(folders_.User("Profiles").c_str());
  EXPECT_TRUE(bob.SaveReported());
  EXPECT_TRUE(bob.saveFailure.IsEmpty());
}

TEST_F(ProfileFile, AFileThatIsThereButCannotBeReadExistsAndDoesNotLoad) {
  for (const UnreadableShape& shape : UnreadableShapes()) {
    SCOPED_TRACE(shape.what);
    std::filesystem::remove(bobPath_);
    MakeUnreadable(bobPath_, shape);
    ClearTerminalLines();
    EXPECT_TRUE(Profile::Exists("bob"));
    Profile profile;
    profile.stars = 7;
    EXPECT_FALSE(profile.Load("bob"));
    EXPECT_EQ(profile.stars, 7u);
    EXPECT_EQ(TerminalLines(), std::vector<std::string>{"Cannot read profile file " + bobPath_ + " : " + shape.reason});
  }
  std::filesystem::remove(bobPath_);
  EXPECT_FALSE(Profile::Exists("bob"));
}

TEST_F(ProfileFile, DamagedCopiesOfTheGoldenFileLoadOrAreRefusedWithoutHarm) {
  const std::string golden = GoldenBob();
  platform::SeedRandom(7);
  int loaded = 0;
  for (int variant = 0; variant < 600; ++variant) {
    std::string bytes = golden;
    const int damage = platform::NextRandom() % 3;
    const size_t at = static_cast<size_t>(platform::NextRandom()) % bytes.size();
    if (damage == 0) {
      bytes.resize(at);
    } else if (damage == 1) {
      for (int flips = 1 + platform::NextRandom() % 4; flips > 0; --flips) {
        bytes[static_cast<size_t>(platform::NextRandom()) % bytes.size()] ^=
            static_cast<char>(1 << (platform::NextRandom() % 8));
      }
    } else {
      bytes.insert(at, std::string(1 + platform::NextRandom() % 300, static_cast<char>(platform::NextRandom())));
    }
    WriteBytes(bobPath_, bytes);
    Profile profile;
    if (profile.Load("bob")) {
      ++loaded;
      // Whatever the file said, the name still names this file or a safe one.
      EXPECT_LE(profile.name.Length(), 15u);
      EXPECT_EQ(profile.name.Chars()[0] == '.', false);
      EXPECT_GE(profile.modes[0].timePlayed, 0.0f);
      EXPECT_TRUE(profile.rainbow.colour >= 0 && profile.rainbow.colour <= 7);
    }
  }
  // The sample covers both outcomes.
  EXPECT_GT(loaded, 100);
  EXPECT_LT(loaded, 600);
}

}  // namespace
