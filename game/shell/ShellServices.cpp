#include "game/shell/ShellServices.h"

#include "game/shell/Achievements.h"
#include "game/shell/CreditsScreen.h"
#include "game/shell/FrontEndScreen.h"
#include "game/shell/GAudio.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/GameOverScreen.h"
#include "game/shell/HighScoreTable.h"
#include "game/shell/HighScoresScreen.h"
#include "game/shell/IntroScreens.h"
#include "game/shell/LoadingScreen.h"
#include "game/shell/MenuInput.h"
#include "game/shell/Profile.h"
#include "game/shell/ResourceQueues.h"

namespace {

// A screen that keeps the shell's data of its game alive with it.
template <class Screen>
class OwningScreen final : public Screen {
 public:
  explicit OwningScreen(std::shared_ptr<ShellContext> context) : Screen(*context), context_(std::move(context)) {}

 private:
  std::shared_ptr<ShellContext> context_;
};

template <class Screen>
std::unique_ptr<FsmState> Make(const std::shared_ptr<ShellContext>& context) {
  return std::make_unique<OwningScreen<Screen>>(context);
}

}  // namespace

ShellServices::ShellServices(ResourceQueues* queues) : queues_(queues ? *queues : EngineResourceQueues()) {}

ShellServices::~ShellServices() = default;

std::unique_ptr<FsmState> ShellServices::CreateState(Game& game, ShellState which) {
  // A game asks for its eight screens in a row; the ninth ask is a new game,
  // even one built where an earlier one was.
  if (!context_ || &context_->game != &game || screensMade_ == kShellStateCount) {
    context_ = std::make_shared<ShellContext>(game, queues_);
    screensMade_ = 0;
  }
  ++screensMade_;
  switch (which) {
    case ShellState::IntroVelkSW:
      return Make<IntroMakerScreen>(context_);
    case ShellState::IntroVyre:
      return Make<IntroEngineScreen>(context_);
    case ShellState::Loading:
      return Make<LoadingScreen>(context_);
    case ShellState::Credits:
      return Make<CreditsScreen>(context_);
    case ShellState::HighScores:
      return Make<HighScoresScreen>(context_);
    case ShellState::Instructions:
      return Make<InstructionsScreen>(context_);
    case ShellState::FrontEnd:
      return Make<FrontEndScreen>(context_);
    case ShellState::GameOver:
      return Make<GameOverScreen>(context_);
  }
  return FrontEndServices::CreateState(game, which);
}

void ShellServices::SendMenuInput(uint8_t key) {
  GFrontEnd* frontEnd = GetGFrontEnd();
  if (!context_ || frontEnd == nullptr) return;
  const uint8_t keys[2] = {key, 0};
  ::SendMenuInput(context_->game, frontEnd->GetId(), keys);
}

// The layers the shell's services build on: the profiles and the scores, the
// audio layer, the pause menu.

std::unique_ptr<GameProfile> ProfileServices::LoadProfile(const String& profileName) {
  return LoadProfileNamed(profileName);
}

void ProfileServices::LoadHighScores(HighScoreRows& rows) { highScoreFile_ = HighScoreTable::Load(rows); }

HighScoreOutcome ProfileServices::AddHighScore(HighScoreRows& rows, int32_t table, uint32_t score, uint32_t stars) {
  const HighScoreOutcome outcome = HighScoreTable::AddAndSave(rows, table, score, stars, highScoreFile_);
  // The file now holds these rows; they are saved from here on.
  if (outcome == HighScoreOutcome::Saved) highScoreFile_ = HighScoreTable::FileState::Read;
  return outcome;
}

const char* ProfileServices::AchievementName(int32_t index) const { return ::AchievementName(index); }

std::unique_ptr<GameAudioLayer> AudioServices::CreateAudioLayer(int32_t voices) { return CreateGameAudioLayer(voices); }

void FrontEndServices::ShowPauseMenu() {
  if (GFrontEnd* frontEnd = GetGFrontEnd()) frontEnd->ShowPauseMenu(true);
}

bool FrontEndServices::IsPauseMenuShowing() const {
  const GFrontEnd* frontEnd = GetGFrontEnd();
  return frontEnd != nullptr && frontEnd->IsPauseMenuShowing();
}
