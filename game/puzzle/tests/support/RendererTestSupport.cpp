#include "RendererTestSupport.h"

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/NovalithObject.h"
#include "game/puzzle/PuzzleDisc.h"

namespace puzzle_test {

RendererTest::RendererTest() {
  Clock::Instance().SetGameTime(0.0f);
  Clock::Instance().SetFixedStep(kFrame);
  renderer = std::make_unique<GPuzzleRenderer>();
}

RendererTest::~RendererTest() {
  renderer.reset();
  discs.clear();
  EffectsPool::Shutdown();
  Clock::Instance().SetFixedStep(0.0f);
  Clock::Instance().SetGameTime(0.0f);
}

CGPuzzleDisc& RendererTest::Show(const std::vector<std::vector<std::string>>& drawn) {
  discs.clear();
  for (const std::vector<std::string>& rings : drawn) discs.push_back(DrawDisc(rings));
  renderer->SetDiscs(&discs, 0, static_cast<uint32_t>(discs.size()));
  return Current();
}

void RendererTest::Frame() {
  now += kFrame;
  Clock::Instance().SetGameTime(now);
  renderer->Update();
  if (renderer->star) renderer->star->Update();
  GetGEMMSGService()->Deliver();
}

void RendererTest::RunFor(float seconds) {
  const float end = now + seconds;
  while (now < end) Frame();
}

bool RendererTest::RunUntil(FsmState* state, float maxSeconds) {
  const float end = now + maxSeconds;
  while (!renderer->IsCurrent(state) && now < end) Frame();
  return renderer->IsCurrent(state);
}

void RendererTest::StartPlay() { ASSERT_TRUE(RunUntil(renderer->InGame(), 5.0f)); }

}  // namespace puzzle_test
