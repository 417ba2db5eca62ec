#pragma once

// The front end's tests: a canvas that records what is drawn, and a window
// on the real message service owned by a recording game receiver, with a
// scratch user folder, registry and a clock on a fixed step.

#include <memory>
#include <string>
#include <vector>

#include "game/puzzle/tests/support/GameTestSupport.h"
#include "game/shell/FrontEndCanvas.h"
#include "game/shell/GFrontEnd.h"

namespace shell_test {

struct DrawnText {
  int font = 0;
  std::string text;
  float x = 0.0f;
  float y = 0.0f;
  float alpha = 0.0f;
  Vector2 glyphSize;
};

struct DrawnQuad {
  // Empty for the black shade.
  std::string material;
  Rect area;
  float alpha = 0.0f;
};

// Measures every glyph as its font's glyph width; fonts start at 32 x 32
// with alpha 1.
class RecordingCanvas : public FrontEndCanvas {
 public:
  explicit RecordingCanvas(int fonts = 8);
  int FontCount() const override { return static_cast<int>(sizes.size()); }
  float Measure(int font, const char* text) const override;
  void DrawText(int font, const char* text, float x, float y) override;
  Vector2 GlyphSize(int font) const override { return sizes.at(font); }
  void SetGlyphSize(int font, const Vector2& size) override { sizes.at(font) = size; }
  float Alpha(int font) const override { return alphas.at(font); }
  void SetAlpha(int font, float alpha) override { alphas.at(font) = alpha; }
  void DrawShade(const Rect& area, float alpha) override { quads.push_back({"", area, alpha}); }
  void DrawPicture(const char* material, const Rect& area, float alpha) override {
    quads.push_back({material, area, alpha});
  }
  void BeginScreen(const Vector2&) override {}
  void EndScreen() override {}

  // The drawn texts, in order.
  std::vector<std::string> Texts() const;
  // The first drawn text equal to the text, or null.
  const DrawnText* Find(const std::string& text) const;
  void Clear() {
    texts.clear();
    quads.clear();
  }

  std::vector<Vector2> sizes;
  std::vector<float> alphas;
  std::vector<DrawnText> texts;
  std::vector<DrawnQuad> quads;
};

class MenuWindowTest : public ::testing::Test {
 protected:
  static constexpr float kStep = 0.1f;

  MenuWindowTest();
  ~MenuWindowTest() override;

  // Builds the window over the profile slot, owned by the recording game.
  void Build();
  // One step of the window's state machine (as the window manager does).
  void Step(int steps = 1);
  // Steps until the state is current (at most a few steps); true when it is.
  bool StepInto(const FsmState& state);
  // Hands a message from the game to the window, as the game's menu input
  // does; returns whether it came back handled.
  bool Send(uint32_t id);
  // Offers the key-down list to the window as the window manager does.
  bool SendKeys(std::vector<uint8_t> keys);
  // Moves the clock on by the seconds and delivers what is due, then steps
  // into the state requested on arrival.
  void Wait(float seconds);
  // Selects an item by its text (Down from the top, then Select), then waits
  // out the fade.
  void Choose(const std::string& item);
  // Draws the window's current page into the canvas (cleared first).
  void Draw();
  // Profile file in the user folder, written from a profile of that name.
  void AddProfile(const char* name, uint32_t stars = 0);
  // The registry's "Profile" value, "" when there is none.
  static std::string LastProfile();
  std::vector<std::string> ItemTexts() const;

  puzzle_test::GameFixture folders_;
  puzzle_test::GameReceivers receivers_;
  std::unique_ptr<GameProfile> profile_;
  std::unique_ptr<GFrontEnd> frontEnd_;
  RecordingCanvas* canvas_ = nullptr;
  float now_ = 0.0f;
};

}  // namespace shell_test
