#include "GameTestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "engine/foundation/Clock.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/settings/Registry.h"
#include "game/puzzle/EffectsPool.h"
#include "game/rules/GameMessages.h"
#include "platform/FileSystem.h"
#include "platform/Random.h"

namespace puzzle_test {

bool FakeProfile::Load(const String& profileName) {
  if (loadable->count(profileName.Chars()) == 0) return false;
  name = profileName;
  ++loads;
  if (hasSaved) {
    for (int mode = 0; mode < kModeCount; ++mode) modes[mode] = savedModes[mode];
  }
  return true;
}

bool FakeProfile::Save() {
  ++saves;
  if (!saveSucceeds) return false;
  for (int mode = 0; mode < kModeCount; ++mode) savedModes[mode] = modes[mode];
  hasSaved = true;
  return true;
}

void FakeAudioLayer::OnMessage(CMSGMessage* message) {
  received.push_back(message->id);
  if (message->id == eMSG_ALayer_VolumeFadeIn || message->id == eMSG_ALayer_VolumeFadeOut) {
    fades.push_back(*reinterpret_cast<const LayerFade*>(message->parameter));
  } else if (message->id == eMSG_AInGame_PlaySpeech) {
    speeches.push_back(*reinterpret_cast<const int*>(message->parameter));
  }
}

std::unique_ptr<GameProfile> FakeServices::LoadProfile(const String& profileName) {
  tried.push_back(profileName.Chars());
  auto profile = std::make_unique<FakeProfile>(&loadable);
  if (!profile->Load(profileName)) return nullptr;
  return profile;
}

std::unique_ptr<GameAudioLayer> FakeServices::CreateAudioLayer(int32_t voiceCount) {
  voices = voiceCount;
  if (!withAudio) return nullptr;
  auto layer = std::make_unique<FakeAudioLayer>();
  audio = layer.get();
  return layer;
}

std::unique_ptr<FsmState> FakeServices::CreateState(Game& game, ShellState which) {
  if (which != ShellState::Credits) return NullGameServices::CreateState(game, which);
  // The credits screen records what it is handed.
  struct CreditsState : FsmState {
    explicit CreditsState(FakeServices* fake) : FsmState("Game.Credits"), services(fake) {}
    void Message(CMSGMessage* message) override {
      services->creditsMessages.push_back(message->id);
      if ((message->id == eMSG_UIOKEYDOWN || message->id == eMSG_UIOKEYHELD) && message->parameter != 0) {
        const auto* codes = reinterpret_cast<const uint8_t*>(message->parameter);
        services->creditsKeys.emplace_back(codes, codes + CUIOKeyboard::kListCapacity);
      }
    }
    FakeServices* services;
  };
  return std::make_unique<CreditsState>(this);
}

const char* FakeServices::AchievementName(int32_t index) const { return index == 3 ? "Rainbow Warrior" : "Other"; }

HighScoreOutcome FakeServices::AddHighScore(HighScoreRows&, int32_t table, uint32_t score, uint32_t stars) {
  offeredScores.push_back({table, score, stars});
  return highScoreOutcome;
}

GameFixture::GameFixture() : folder_("puzzle-game"), previous_(platform::CurrentDirectory()) {
  if (chdir(folder_.Path().c_str()) != 0) previous_.clear();
  // Tests run side by side: each keeps its registry in its own folder.
  const char* registry = std::getenv("VYRE_REGISTRY");
  const char* userFolder = std::getenv("VYRE_USER_DIR");
  previousRegistry_ = registry ? registry : "";
  previousUserFolder_ = userFolder ? userFolder : "";
  setenv("VYRE_REGISTRY", (folder_ / "registry.reg").c_str(), 1);
  setenv("VYRE_USER_DIR", folder_.Path().c_str(), 1);
  Clock::Instance().SetGameTime(0.0f);
  platform::SeedRandom(20261210);
}

GameFixture::~GameFixture() {
  // The games are gone by now; their shared effects go with the fixture, as
  // the entry point drops them after its game.
  EffectsPool::Shutdown();
  setenv("VYRE_REGISTRY", previousRegistry_.c_str(), 1);
  setenv("VYRE_USER_DIR", previousUserFolder_.c_str(), 1);
  if (!previous_.empty() && chdir(previous_.c_str()) != 0) previous_.clear();
}

void GameFixture::AddProfileFile(const std::string& name) const {
  platform::MakeFolder(folder_ / "Profiles");
  std::ofstream(folder_ / ("Profiles/" + name + ".profile")) << "0.5";
}

void GameFixture::SetLastProfile(const char* name) {
  RegistryWriteValue("Profile", 0, name, static_cast<uint32_t>(std::strlen(name) + 1));
}

void GameFixture::RunToFirstState(Game& game) {
  for (int frame = 0; frame < 20 && !game.IsCurrent(game.State(GameStateId::IntroVelkSW)); ++frame) game.Frame(false);
}

void GameFixture::DeliverAt(float seconds) {
  Clock::Instance().SetGameTime(seconds);
  // A pass leaves a message that moved into a delivered one's place for the
  // next frame; a few passes stand for the frames up to that time.
  for (int pass = 0; pass < 8; ++pass) GetGEMMSGService()->Deliver();
}

void ProfiledGameTest::SetUp() {
  services_.loadable = {"tess"};
  GameFixture::SetLastProfile("tess");
  game_ = std::make_unique<Game>(services_);
  ASSERT_NE(game_->profile, nullptr);
}

}  // namespace puzzle_test
