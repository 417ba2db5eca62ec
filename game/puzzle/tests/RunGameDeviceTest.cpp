#include <gtest/gtest.h>

#include "engine/runtime/settings/Settings.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/RunGame.h"
#include "platform/Events.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

// Services whose first screen notes the frame it was entered in.
class FirstScreenServices : public FakeServices {
 public:
  std::unique_ptr<FsmState> CreateState(Game& game, ShellState which) override {
    if (which != ShellState::IntroVelkSW) return FakeServices::CreateState(game, which);
    struct Intro : FsmState {
      Intro(Game* owner, FirstScreenServices* fake) : FsmState("Game.IntroVelkSW"), game(owner), services(fake) {}
      void Enter() override { services->enteredInFrame = static_cast<int>(game->GetFrameCount()); }
      void Message(CMSGMessage* message) override { game->SharedMessageFSM(message); }
      Game* game;
      FirstScreenServices* services;
    };
    return std::make_unique<Intro>(&game, this);
  }
  int enteredInFrame = -1;
};

TEST(RunGameDevice, TheGameRunsOnItsSettingsFromTheFirstScreenUntilTheWindowCloses) {
  GameFixture fixture;
  FirstScreenServices services;
  EngineRunOptions options;
  bool closed = false;
  options.pollEvent = [&](platform::Event* event) {
    if (closed || services.enteredInFrame < 0) return false;
    closed = true;
    event->type = platform::EventType::WindowClose;
    return true;
  };
  EXPECT_EQ(RunGame(services, std::move(options)), 0);
  EXPECT_STREQ(GetSettings()->iniFileName.Chars(), "Settings.ini");
  EXPECT_STREQ(GetSettings()->GetTitle().Chars(), "Novaliths");
  // Create takes its frames, and the next one enters the game's first screen.
  EXPECT_GT(services.enteredInFrame, 2);
}

}  // namespace
