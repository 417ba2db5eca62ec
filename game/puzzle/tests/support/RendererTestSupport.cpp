#include "RendererTestSupport.h"

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/NovalithObject.h"
#include "game/rules/PuzzleDisc.h"

namespace puzzle_test {

RendererTest::RendererTest() {
  Clock::Instance().SetGameTime(0.0f);
  Clock::Instance().SetFixedStep(kFrame);
  renderer_ = std::make_unique<GPuzzleRenderer>();
}

RendererTest::~RendererTest() {
  renderer_.reset();
  discs_.clear();
  EffectsPool::Shutdown();
  Clock::Instance().SetFixedStep(0.0f);
  Clock::Instance().SetGameTime(0.0f);
}

CGPuzzleDisc& RendererTest::Show(const std::vector<std::vector<std::string>>& drawn) {
  discs_.clear();
  for (const std::vector<std::string>& rings : drawn) discs_.push_back(DrawDisc(rings));
  renderer_->SetDiscs(&discs_, 0, static_cast<uint32_t>(discs_.size()));
  return Current();
}

void RendererTest::Frame() {
  now_ += kFrame;
  Clock::Instance().SetGameTime(now_);
  renderer_->Update();
  if (renderer_->star) renderer_->star->Update();
  GetGEMMSGService()->Deliver();
}

void RendererTest::RunFor(float seconds) {
  const float end = now_ + seconds;
  while (now_ < end) Frame();
}

bool RendererTest::RunUntil(FsmState* state, float maxSeconds) {
  const float end = now_ + maxSeconds;
  while (!renderer_->IsCurrent(state) && now_ < end) Frame();
  return renderer_->IsCurrent(state);
}

void RendererTest::StartPlay() { ASSERT_TRUE(RunUntil(renderer_->InGame(), 5.0f)); }

}  // namespace puzzle_test
