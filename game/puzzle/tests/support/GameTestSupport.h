#pragma once

// A game built headless on fake shell services, with a working folder of
// its own and the registry's "Profile" value under the test's control.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PuzzleTestSupport.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameMessages.h"
#include "game/puzzle/GameServices.h"
#include "platform/TempFolder.h"

namespace puzzle_test {

// A profile that "loads" when its name is among the fake's loadable ones.
class FakeProfile : public GameProfile {
 public:
  explicit FakeProfile(const std::set<std::string>* loadableNames) : loadable(loadableNames) {}
  bool Load(const String& profileName) override;
  bool Save() override { return true; }
  const std::set<std::string>* loadable;
};

// An audio layer that records what it receives.
class FakeAudioLayer : public GameAudioLayer {
 public:
  void OnMessage(CMSGMessage* message) override;
  void Update() override { ++steps; }
  void LoadSounds(int32_t) override {}
  std::vector<uint32_t> received;
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

  bool withAudio = true;
  std::set<std::string> loadable;
  // Every name a profile was asked to load under, in order.
  std::vector<std::string> tried;
  FakeAudioLayer* audio = nullptr;
  int32_t voices = 0;
  // Messages the credits screen received.
  std::vector<uint32_t> creditsMessages;
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

  GameFixture fixture;
  FakeServices services;
  std::unique_ptr<Game> game;
};

}  // namespace puzzle_test
