#include "game/shell/ShellServices.h"

#include "game/shell/CreditsScreen.h"
#include "game/shell/FrontEndScreen.h"
#include "game/shell/GameOverScreen.h"
#include "game/shell/HighScoresScreen.h"
#include "game/shell/IntroScreens.h"
#include "game/shell/GFrontEnd.h"
#include "game/shell/LoadingScreen.h"
#include "game/shell/MenuInput.h"
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
