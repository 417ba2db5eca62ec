#include "game/puzzle/GameServices.h"

#include "game/puzzle/Game.h"

namespace {

constexpr const char* kShellStateNames[kShellStateCount] = {
    "Game.IntroVelkSW", "Game.IntroVyre",  "Game.FrontEnd", "Game.GameOver",
    "Game.Credits",     "Game.HighScores", "Game.Loading",  "Game.Instructions",
};

}  // namespace

const char* ShellStateName(ShellState which) { return kShellStateNames[static_cast<int>(which)]; }

std::unique_ptr<GameProfile> NullGameServices::LoadProfile(const String&) { return nullptr; }

std::unique_ptr<GameAudioLayer> NullGameServices::CreateAudioLayer(int32_t) { return nullptr; }

void NullGameServices::LoadHighScores(HighScoreRows&) {}

HighScoreOutcome NullGameServices::AddHighScore(HighScoreRows&, int32_t, uint32_t, uint32_t) {
  return HighScoreOutcome::NotEntered;
}

const char* NullGameServices::AchievementName(int32_t) const { return "Unknown"; }

std::unique_ptr<FsmState> NullGameServices::CreateState(Game& game, ShellState which) {
  return std::make_unique<FsmStateOf<Game>>(&game, ShellStateName(which), nullptr, nullptr, &Game::SharedMessagesOnly,
                                            nullptr);
}
