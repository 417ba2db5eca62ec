#pragma once

// A game built headless on fake shell services, with a working folder of
// its own and the registry's "Profile" value under the test's control.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/puzzle/Game.h"
#include "game/puzzle/GameServices.h"
#include "game/rules/GameMessages.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "platform/TempFolder.h"

namespace puzzle_test {

// A profile that "loads" when its name is among the fake's loadable ones.
class FakeProfile : public GameProfile {
 public:
  explicit FakeProfile(const std::set<std::string>* loadableNames) : loadable(loadableNames) {}
  bool Load(const String& profileName) override;
  // A save that succeeds keeps the modes' records; a later load brings
  // them back, as a file would.
  bool Save() override;
  const std::set<std::string>* loadable;
  bool saveSucceeds = true;
  int saves = 0;
  int loads = 0;
  bool hasSaved = false;
  ModeStats savedModes[kModeCount];
};

// An audio layer that records what it receives.
class FakeAudioLayer : public GameAudioLayer {
 public:
  void OnMessage(CMSGMessage* message) override;
  void Update() override { ++steps; }
  void LoadSounds(int32_t which) override { soundSets.push_back(which); }
  std::vector<uint32_t> received;
  // The sets LoadSounds was asked for, in order.
  std::vector<int32_t> soundSets;
  std::vector<LayerFade> fades;
  std::vector<int> speeches;
  int steps = 0;
};

class FakeServices : public NullGameServices {
 public:
  std::unique_ptr<GameProfile> LoadProfile(const String& profileName) override;
  std::unique_ptr<GameAudioLayer> CreateAudioLayer(int32_t voices) override;
  std::unique_ptr<FsmState> CreateState(Game& game, ShellState which) override;
  const char* AchievementName(int32_t index) const override;
  HighScoreOutcome AddHighScore(HighScoreRows& rows, int32_t table, uint32_t score, uint32_t stars) override;
  void ShowPauseMenu() override {
    pauseShowing = true;
    ++pauseShows;
  }
  bool IsPauseMenuShowing() const override { return pauseShowing; }
  void SendMenuInput(uint8_t key) override { menuKeys.push_back(key); }

  // One result offered to a high-score table.
  struct OfferedScore {
    int32_t table;
    uint32_t score;
    uint32_t stars;
  };

  bool withAudio = true;
  // What an offered result comes to.
  HighScoreOutcome highScoreOutcome = HighScoreOutcome::Saved;
  std::set<std::string> loadable;
  // Every name a profile was asked to load under, in order.
  std::vector<std::string> tried;
  FakeAudioLayer* audio = nullptr;
  int32_t voices = 0;
  // Messages the credits screen received, and the codes of its key lists.
  std::vector<uint32_t> creditsMessages;
  std::vector<std::vector<uint8_t>> creditsKeys;
  std::vector<OfferedScore> offeredScores;
  // The pause menu: shown by ShowPauseMenu, hidden by the test (as the
  // menu's "Continue" and "Exit" do); the keys it was sent.
  bool pauseShowing = false;
  int pauseShows = 0;
  std::vector<uint8_t> menuKeys;
};

// A fresh folder that is the working folder, the user folder and the home
// of the registry file, and the clock at 0, for the object's life.
class GameFixture {
 public:
  GameFixture();
  ~GameFixture();
  // Makes "Profiles/<name>.profile" in the user folder.
  void AddProfileFile(const std::string& name) const;
  // Sets the registry's "Profile" value.
  static void SetLastProfile(const char* name);
  // Steps the game until the frame that enters its first state.
  static void RunToFirstState(Game& game);
  // Delivers the GEM messages due at the given game time.
  static void DeliverAt(float seconds);

 private:
  platform::ScopedTempFolder folder_;
  std::string previous_;
  std::string previousRegistry_;
  std::string previousUserFolder_;
};

// A test with a game built on fake services whose profile "tess" loads.
class ProfiledGameTest : public ::testing::Test {
 protected:
  void SetUp() override;

  GameFixture fixture_;
  FakeServices services_;
  std::unique_ptr<Game> game_;
};

}  // namespace puzzle_test
