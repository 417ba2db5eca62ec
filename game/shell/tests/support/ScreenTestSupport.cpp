#include "ScreenTestSupport.h"

#include <algorithm>

#include "engine/foundation/Clock.h"
#include "engine/runtime/input/UIOKeyboard.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"

namespace shell_test {

void FakeResourceQueues::Advance() {
  const int32_t loaded = std::min(perFrame, pending);
  pending -= loaded;
  loadedLastCall = reported >= 0 ? reported : loaded;
}

void FakeResourceQueues::SetBudgets(const LoadBudgets& newBudgets) {
  budgets = newBudgets;
  if (newBudgets.models < 0) return;
  registered += queuedByLoad;
  pending += queuedByLoad;
  ++loads;
}

void RecordingAudioLayer::OnMessage(CMSGMessage* message) {
  HeardAudio entry;
  entry.id = message->id;
  entry.time = Clock::Instance().GetGameTime();
  if (message->parameter != 0) {
    if (message->id == eMSG_ALayer_VolumeFadeIn || message->id == eMSG_ALayer_VolumeFadeOut) {
      const LayerFade* fade = reinterpret_cast<const LayerFade*>(message->parameter);
      entry.value = fade->layer;
      entry.seconds = fade->seconds;
    } else if (GameMessageCarriesPointer(message->id)) {
      entry.value = *reinterpret_cast<const int32_t*>(message->parameter);
    }
  }
  heard.push_back(entry);
}

std::vector<int32_t> RecordingAudioLayer::Values(uint32_t id) const {
  std::vector<int32_t> values;
  for (const HeardAudio& entry : heard) {
    if (entry.id == id) values.push_back(entry.value);
  }
  return values;
}

int RecordingAudioLayer::Count(uint32_t id) const {
  return static_cast<int>(std::count_if(heard.begin(), heard.end(), [id](const HeardAudio& e) { return e.id == id; }));
}

std::unique_ptr<GameAudioLayer> ScreenTestServices::CreateAudioLayer(int32_t) {
  auto layer = std::make_unique<RecordingAudioLayer>();
  audio = layer.get();
  return layer;
}

ScreensFixture::ScreensFixture() {
  Clock::Instance().SetPaused(false);
  Clock::Instance().SetFixedStep(kStep);
  game = std::make_unique<Game>(services);
  audio = services.audio;
  puzzle_test::GameFixture::RunToFirstState(*game);
  visits.push_back({Current(), Now()});
}

ScreensFixture::~ScreensFixture() {
  game.reset();
  Clock::Instance().SetFixedStep(0.0f);
  Clock::Instance().SetGameTime(0.0f);
}

void ScreensFixture::Frame() {
  queues.Advance();
  game->Frame(false);
  const std::string now = Current();
  // A change leaves the old state on one step and enters the new one on the next.
  if (!now.empty() && (visits.empty() || visits.back().name != now)) visits.push_back({now, Now()});
}

void ScreensFixture::Run(float seconds) {
  const float end = Now() + seconds - kStep * 0.5f;
  while (Now() < end) Frame();
}

bool ScreensFixture::RunUntil(const char* stateName, float maxSeconds) {
  const float end = Now() + maxSeconds;
  while (Current() != stateName) {
    if (Now() >= end) return false;
    Frame();
  }
  return true;
}

void ScreensFixture::PressKey(uint8_t code) {
  uint8_t keys[CUIOKeyboard::kListCapacity] = {code};
  GetGEMMSGService()->Post(eMSG_UIOKEYDOWN, -1, game->receiverId, reinterpret_cast<intptr_t>(keys), 0.0);
}

void ScreensFixture::PressPad() { GetGEMMSGService()->Post(eMSG_UIOPADDOWN, -1, game->receiverId, 0, 0.0); }

void ScreensFixture::Send(uint32_t id, intptr_t parameter) {
  GetGEMMSGService()->Post(id, game->receiverId, game->receiverId, parameter, 0.0);
}

float ScreensFixture::Now() const { return Clock::Instance().GetGameTime(); }

std::string ScreensFixture::Current() const { return game->GetCurrentStateName().Chars(); }

std::vector<std::string> ScreensFixture::Trace() const {
  std::vector<std::string> names;
  for (const StateVisit& visit : visits) names.push_back(visit.name);
  return names;
}

}  // namespace shell_test
