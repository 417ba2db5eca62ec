#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"
#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/GameMessages.h"
#include "platform/InputSources.h"
#include "platform/KeyCodes.h"
#include "support/GameHarness.h"
#include "support/GameTestSupport.h"

namespace {

using namespace puzzle_test;

namespace key = platform::key;

class PauseServices : public FakeServices {
 public:
  void ShowPauseMenu() override { ++pauses; }
  bool IsPauseMenuShowing() const override { return menuShowing; }
  void SendMenuInput(uint8_t key) override { menuKeys.push_back(key); }
  int pauses = 0;
  bool menuShowing = false;
  std::vector<uint8_t> menuKeys;
};

// Input sources that are always there; the pad reads the test's state.
class AlwaysKeyboard : public platform::KeyboardSource {
 public:
  bool Acquire() override { return true; }
  bool Read(uint8_t keys[platform::kKeyCount]) override {
    std::fill(keys, keys + platform::kKeyCount, 0);
    return true;
  }
};
class AlwaysMouse : public platform::MouseSource {
 public:
  bool Acquire() override { return true; }
  bool Read(platform::MouseRawState* state) override {
    *state = {};
    return true;
  }
};
class TestPad : public platform::PadSource {
 public:
  explicit TestPad(platform::PadRawState* state) : state_(state) {}
  int Count() override { return 1; }
  std::string Name(int) override { return "Test pad"; }
  bool Open(int) override { return true; }
  void Close() override {}
  bool Acquire() override { return true; }
  bool Read(platform::PadRawState* state) override {
    *state = *state_;
    return true;
  }

 private:
  platform::PadRawState* state_;
};

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    services_.loadable = {"tess"};
    GameFixture::SetLastProfile("tess");
    game_ = std::make_unique<Game>(services_);
    game_->CreatePlayViews();
    disc_.locked = false;
    game_->currentDisc = &disc_;
    game_->fadedIn = true;
  }
  void TearDown() override {
    game_->currentDisc = nullptr;
    GetUIOManager()->Release();
  }

  void KeyDown(std::vector<uint8_t> keys) { Send(eMSG_UIOKEYDOWN, keys); }
  void KeyHeld(std::vector<uint8_t> keys) { Send(eMSG_UIOKEYHELD, keys); }
  void Send(uint32_t id, std::vector<uint8_t> keys) {
    keys.resize(CUIOKeyboard::kListCapacity, 0);
    CMSGMessage message;
    message.id = id;
    message.parameter = reinterpret_cast<intptr_t>(keys.data());
    ASSERT_TRUE(game_->PuzzleInputMessage(&message));
  }
  // Pad polls: each sets the raw state and polls once.
  void UsePad() {
    UIOSources sources;
    sources.keyboard = std::make_unique<AlwaysKeyboard>();
    sources.mouse = std::make_unique<AlwaysMouse>();
    sources.pads = std::make_unique<TestPad>(&pad_);
    ASSERT_TRUE(GetUIOManager()->Init(std::move(sources)));
    ASSERT_NE(GetUIOManager()->GetJoystick(), nullptr);
  }
  void PollPad(int32_t y, bool button) {
    pad_.y = y;
    pad_.buttons[2] = button ? platform::kDownBit : 0;
    GetUIOManager()->GetJoystick()->Poll(1.0f / 60.0f);
  }
  GPuzzleRenderer& Renderer() { return *game_->renderer; }
  // Drops the game asked its renderer for.
  size_t Drops() const { return static_cast<size_t>(posted_.CountTo(game_->RendererReceiverId(), eMSG_GDropGem)); }
  int Spins() const {
    return static_cast<int>(
        std::count(services_.audio->received.begin(), services_.audio->received.end(), eMSG_AInGame_PlayPuzzleSpin));
  }

  GameFixture fixture_;
  PauseServices services_;
  std::unique_ptr<Game> game_;
  MessageRecording posted_;
  CGPuzzleDisc disc_{2, 8};
  platform::PadRawState pad_;
};

TEST_F(Controls, EveryActionWaitsForItsGuards) {
  const struct {
    const char* name;
    uint8_t key;
    bool fadedIn;
    bool locked;
    bool allowed;  // the renderer's turn flag for the key's direction
    int turn;
    bool drop;
    bool pause;
  } cases[] = {
      {"Up", key::Up, true, false, true, +1, false, false},
      {"Down", key::Down, true, false, true, -1, false, false},
      {"Up in a fade", key::Up, false, false, true, 0, false, false},
      {"Up on a locked disc", key::Up, true, true, true, 0, false, false},
      {"Up while the renderer forbids it", key::Up, true, false, false, 0, false, false},
      {"Down while the renderer forbids it", key::Down, true, false, false, 0, false, false},
      {"Z", key::Z, true, false, true, 0, true, false},
      {"Z on a locked disc", key::Z, true, true, true, 0, false, false},
      {"Z in a fade", key::Z, false, false, true, 0, false, false},
      {"Escape on a locked disc", key::Escape, true, true, true, 0, false, true},
      {"Escape in a fade", key::Escape, false, false, true, 0, false, false},
      {"an unbound key", key::A, true, false, true, 0, false, false},
  };
  for (const auto& c : cases) {
    game_->fadedIn = c.fadedIn;
    disc_.locked = c.locked;
    Renderer().turnForwardAllowed = Renderer().turnBackAllowed = c.allowed;
    Renderer().SetActive(1);
    game_->hud->timersRunning = false;
    disc_.dropColumn = 0;
    const int spins = Spins();
    const size_t drops_before = Drops();
    const int pauses = services_.pauses;
    KeyDown({c.key});
    EXPECT_EQ(disc_.dropColumn, (8 + c.turn) % 8) << c.name;
    EXPECT_EQ(Spins() - spins, c.turn != 0 ? 1 : 0) << c.name;
    EXPECT_EQ(Drops() - drops_before, c.drop ? 1u : 0u) << c.name;
    EXPECT_EQ(game_->hud->timersRunning, c.drop) << c.name;
    EXPECT_EQ(services_.pauses - pauses, c.pause ? 1 : 0) << c.name;
    EXPECT_EQ(Renderer().stepping, c.pause ? 0 : 1) << c.name;
  }
}

TEST_F(Controls, UpAndDownInOneListTurnBothWaysAndHeldKeysTurnSilently) {
  std::vector<int> columns;
  disc_.dropColumn = 3;
  KeyDown({key::Up, key::Down});
  EXPECT_EQ(disc_.dropColumn, 3);
  EXPECT_EQ(Spins(), 2);
  // A held message comes only when the key's repeat fires: one turn each.
  KeyHeld({key::Up});
  KeyHeld({key::Up});
  EXPECT_EQ(disc_.dropColumn, 5);
  KeyHeld({key::Z, key::Escape});
  EXPECT_EQ(Spins(), 2);
  EXPECT_EQ(Drops(), 0u);
  EXPECT_EQ(services_.pauses, 0);
}

TEST_F(Controls, EscapePausesFadingTheGameOutAndTheMenuIn) {
  KeyDown({key::Escape});
  EXPECT_EQ(services_.pauses, 1);
  EXPECT_EQ(Renderer().stepping, 0);
  ASSERT_GE(services_.audio->fades.size(), 3u);
  const std::vector<LayerFade> fades(services_.audio->fades.end() - 3, services_.audio->fades.end());
  EXPECT_EQ(fades[0].layer, 0);
  EXPECT_EQ(fades[1].layer, 3);
  EXPECT_EQ(fades[2].layer, 1);
  for (const LayerFade& fade : fades) EXPECT_EQ(fade.seconds, 1.0f);

  // While the menu shows it takes the keys; held keys are dropped.
  services_.menuShowing = true;
  disc_.dropColumn = 0;
  KeyDown({key::Up, key::Z});
  KeyHeld({key::Up});
  EXPECT_EQ(services_.menuKeys, std::vector<uint8_t>({key::Up, key::Z}));
  EXPECT_EQ(disc_.dropColumn, 0);
}

TEST_F(Controls, APadTurnsOnItsDirectionsAndDropsOncePerPress) {
  CMSGMessage down;
  down.id = eMSG_UIOPADDOWN;
  CMSGMessage held;
  held.id = eMSG_UIOPADHELD;
  // No pad: nothing.
  game_->PuzzleInputMessage(&down);
  EXPECT_EQ(disc_.dropColumn, 0);

  UsePad();
  disc_.dropColumn = 0;
  PollPad(-128, true);  // up and a button went down
  game_->PuzzleInputMessage(&down);
  EXPECT_EQ(disc_.dropColumn, 1);
  EXPECT_EQ(Drops(), 1u);
  PollPad(-128, true);  // both held
  game_->PuzzleInputMessage(&down);
  game_->PuzzleInputMessage(&held);
  EXPECT_EQ(disc_.dropColumn, 2);
  EXPECT_EQ(Drops(), 1u);
  PollPad(0, false);  // released in this poll: no turn
  game_->PuzzleInputMessage(&held);
  EXPECT_EQ(disc_.dropColumn, 2);
  PollPad(128, false);
  game_->PuzzleInputMessage(&down);
  EXPECT_EQ(disc_.dropColumn, 1);
  EXPECT_EQ(Spins(), 0);
}

}  // namespace
