// A new player's way from the story into the first star of the Challenge,
// frame by frame on a real (offscreen) display with the game's own data. The
// missing-texture picture shows only where a texture is drawn before it was
// loaded (or failed to load): no frame may draw it.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/graphics/TextureUploader.h"
#include "engine/runtime/display/Display.h"
#include "engine/scene/model/ModelManager.h"
#include "support/GameDisplay.h"
#include "support/GameHarness.h"

namespace {

using namespace puzzle_test;

constexpr int kWidth = 32;
constexpr int kHeight = 24;
// What the loading screen reads before the front end and before a Challenge game.
constexpr const char* kLibraries[] = {
    "Resources/Materials/Achievements.mat",   "Resources/Materials/Backdrop.mat",
    "Resources/Materials/Gems.mat",           "Resources/Materials/SpecialFX.mat",
    "Resources/Materials/PuzzleRenderer.mat", "Resources/Boards/Challenge/Materials.mat",
};
constexpr const char* kModels[] = {
    "Resources/Models/Gems/GemTetra.3me", "Resources/Models/Gems/GemCubicChamfer.3me",
    "Resources/Models/Gems/GemOrb.3me",   "Resources/Models/Gems/GemOctagonal.3me",
    "Resources/Models/Gems/Novalith.3me",
};

// Passes every call to the OpenGL uploader and notes the frames that bind
// the watched texture name.
class BindWatch : public TextureUploader {
 public:
  BindWatch() : gl_(ActiveTextureUploader()) { previous_ = SetTextureUploader(this); }
  ~BindWatch() override { SetTextureUploader(previous_); }

  uint32_t Create(uint32_t width, uint32_t height, uint32_t glFormat, bool mipmap, const uint8_t* pixels) override {
    return gl_.Create(width, height, glFormat, mipmap, pixels);
  }
  void Delete(uint32_t name) override { gl_.Delete(name); }
  void Bind(uint32_t name, bool alphaTest) override {
    if (watched != 0 && name == watched && (frames.empty() || frames.back() != frame)) frames.push_back(frame);
    gl_.Bind(name, alphaTest);
  }
  void CopyFromScreen(int x, int y, uint32_t width, uint32_t height) override {
    gl_.CopyFromScreen(x, y, width, height);
  }

  uint32_t watched = 0;
  uint32_t frame = 0;
  std::vector<uint32_t> frames;

 private:
  TextureUploader& gl_;
  TextureUploader* previous_ = nullptr;
};

class ChallengeStartDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    harness_.emplace();
    fixtureFolder_ = std::filesystem::current_path();
    std::filesystem::current_path(VYRE_RUN_DIR);
    Game& game = harness_->game();
    CDisplay* display = OpenGameDisplay(game, kWidth, kHeight);
    ASSERT_TRUE(game.CanDraw());
    // The frame's loading and clearing steps, as the engine runs them.
    game.FrameSteps().subSystems = [] {
      LoadQueuedResources();
      GFXDisplay::RebuildFontLists();
    };
    game.FrameSteps().beginDisplay = [display] { display->BeginFrame(); };

    // What the loading screen has loaded by the time the story begins.
    CMATManager* materials = CMATManager::GetInstance();
    for (const char* library : kLibraries) ASSERT_TRUE(materials->ReadLibrary(library)) << library;
    for (const char* model : kModels) C3MEManager::Instance().GetModel(String(model));
    LoadQueuedResources();
  }

  void TearDown() override {
    // The harness takes its scratch folder with it.
    std::filesystem::current_path(fixtureFolder_);
    harness_.reset();
    CloseGameDisplay();
  }

  std::optional<GameHarness> harness_;
  std::filesystem::path fixtureFolder_;
};

TEST_F(ChallengeStartDevice, NoFrameFromTheStoryIntoTheFirstStarDrawsTheMissingTexture) {
  GameHarness& harness = *harness_;
  harness.profile().mode = kModeChallenge;
  BindWatch watch;
  watch.watched = CTEXManager::GetInstance()->DefaultTexture()->GLName();
  ASSERT_NE(watch.watched, 0u);

  ASSERT_TRUE(harness.EnterState(GameStateId::ChallengeStory));
  // A key moves the story on as soon as its line has faded in.
  uint32_t enteredGame = 0;
  for (int frame = 0; frame < 60 * 90 && enteredGame == 0; ++frame) {
    if (frame % 62 == 0) harness.PressKeys({platform::key::Z});
    watch.frame = harness.game().GetFrameCount() + 1;
    harness.Step();
    if (harness.InState(GameStateId::ChallengeGame)) enteredGame = watch.frame;
  }
  ASSERT_NE(enteredGame, 0u) << "the story leads into the first star";
  // The first star fades in.
  for (int frame = 0; frame < 90; ++frame) {
    watch.frame = harness.game().GetFrameCount() + 1;
    harness.Step();
  }
  EXPECT_TRUE(watch.frames.empty()) << "first in frame " << watch.frames.front() << ", the game entered in frame "
                                    << enteredGame;
}

}  // namespace
