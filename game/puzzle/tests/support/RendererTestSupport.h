#pragma once

// A puzzle renderer showing test discs, headless, with the game and the
// audio layer standing in as recording receivers and the clock on a fixed
// 60 Hz step.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/puzzle/PuzzleRenderer.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"

namespace puzzle_test {

class RendererTest : public ::testing::Test {
 protected:
  static constexpr float kFrame = 1.0f / 60.0f;

  RendererTest();
  ~RendererTest() override;

  // Shows the discs, drawn as DrawDisc draws them; the first is current.
  CGPuzzleDisc& Show(const std::vector<std::vector<std::string>>& drawn);
  CGPuzzleDisc& Current() { return *discs_[0]; }
  // One frame: the clock moves on, the renderer and its star step, due
  // messages arrive.
  void Frame();
  void RunFor(float seconds);
  // Frames until the state is current; false when it is not within the time.
  bool RunUntil(FsmState* state, float maxSeconds);
  // Present, run through to InGame.
  void StartPlay();

  float now_ = 0.0f;
  GameReceivers receivers_;
  DiscTable discs_;
  std::unique_ptr<GPuzzleRenderer> renderer_;
};

}  // namespace puzzle_test
