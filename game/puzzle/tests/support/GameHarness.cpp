#include "GameHarness.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/app/InputMessages.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/ScreenFade.h"
#include "engine/runtime/messages/MSGService.h"
#include "platform/Random.h"

namespace puzzle_test {

namespace {

// Frames stepped by every harness so far: the injected tick reads them, so
// real time moves exactly as game time does.
uint64_t gFramesStepped = 0;

uint32_t HarnessTickMs() { return static_cast<uint32_t>(gFramesStepped * 1000 / 60); }

bool PointsAtNumber(uint32_t id) {
  return id == eMSG_AInGame_PlaySpeech || id == eMSG_ALayer_Stop || id == eMSG_AGUI_PlaySting ||
         id == eMSG_GColourLeftDisc || id == eMSG_GAchievementEarned;
}

constexpr const char* kEnterTrace = "Enter|'";

// Drops every queued message, so nothing of an earlier game reaches this one.
void EmptyQueues() {
  for (CMSGService* service : {GetGEMMSGService(), GetGUIMSGService()}) {
    for (uint32_t i = service->GetCount(); i > 0; --i) service->RemoveAt(i - 1);
  }
}

}  // namespace

MessageRecording::MessageRecording() {
  GetGEMMSGService()->SetPostObserver([this](const CMSGMessage& message, double delaySeconds) {
    PostedMessage entry;
    entry.id = message.id;
    entry.source = message.source;
    entry.target = message.target;
    entry.parameter = message.parameter;
    entry.time = message.timePosted;
    entry.delay = delaySeconds;
    // What a pointer names lives only while the post is delivered: copy it now.
    if (message.parameter != 0 && PointsAtNumber(message.id)) {
      entry.number = *reinterpret_cast<const int*>(message.parameter);
    } else if (message.parameter != 0 &&
               (message.id == eMSG_ALayer_VolumeFadeIn || message.id == eMSG_ALayer_VolumeFadeOut)) {
      entry.fade = *reinterpret_cast<const LayerFade*>(message.parameter);
    }
    posted_.push_back(entry);
  });
}

MessageRecording::~MessageRecording() { GetGEMMSGService()->SetPostObserver(nullptr); }

std::vector<PostedMessage> MessageRecording::Of(uint32_t id) const {
  std::vector<PostedMessage> found;
  for (const PostedMessage& entry : posted_) {
    if (entry.id == id) found.push_back(entry);
  }
  return found;
}

std::vector<PostedMessage> MessageRecording::To(int32_t target, uint32_t id) const {
  std::vector<PostedMessage> found;
  for (const PostedMessage& entry : posted_) {
    if (entry.id == id && entry.target == target) found.push_back(entry);
  }
  return found;
}

GameHarness::GameHarness(uint32_t seed) {
  EmptyQueues();
  EnableTestLogChannels();
  ClearLog();
  Clock& clock = Clock::Instance();
  clock.SetTickSource(&HarnessTickMs);
  clock.SetFixedStep(kFrameSeconds);
  clock.SetPaused(false);
  clock.SetTimeScale(1.0f);
  services.loadable = {"tess"};
  GameFixture::SetLastProfile("tess");
  game_ = std::make_unique<Game>(services);
  GameFixture::RunToFirstState(*game_);
  GetScreenFade()->active = 0;
  // The input step of every frame posts what the script pressed.
  game_->FrameSteps().maintainEngine = [this] { PostScriptedKeys(); };
  // Seeded last: nothing the start-up drew shifts the game's numbers.
  platform::SeedRandom(seed);
  clock.SetGameTime(0.0f);
}

GameHarness::~GameHarness() {
  game_.reset();
  EmptyQueues();
  Clock& clock = Clock::Instance();
  clock.SetFixedStep(0.0f);
  clock.SetTickSource(nullptr);
}

void GameHarness::UsePanicMode(uint32_t level) {
  GameProfile& player = profile();
  player.mode = kModePanic;
  // As the front end's choice of the mode leaves the record.
  player.modes[kModePanic] = ModeStats();
  player.modes[kModePanic].level = level;
}

bool GameHarness::EnterState(GameStateId id, int maxFrames) {
  game_->Next(game_->State(id));
  for (int frame = 0; frame < maxFrames && !InState(id); ++frame) Step();
  return InState(id);
}

bool GameHarness::InState(const char* name) const {
  const FsmState* current = game_->GetCurrentState();
  return current != nullptr && std::strcmp(current->Name().Chars(), name) == 0;
}

void GameHarness::Step(int frames) {
  for (int frame = 0; frame < frames; ++frame) {
    ++gFramesStepped;
    game_->Frame(false);
  }
}

void GameHarness::Wait(float seconds) { Step(std::max(1, static_cast<int>(std::lround(seconds / kFrameSeconds)))); }

bool GameHarness::RunUntil(const std::function<bool()>& done, float maxSeconds) {
  const int frames = static_cast<int>(std::ceil(maxSeconds / kFrameSeconds));
  for (int frame = 0; frame < frames; ++frame) {
    if (done()) return true;
    Step();
  }
  return done();
}

float GameHarness::GameTime() const { return Clock::Instance().GetGameTime(); }

void GameHarness::PressKeys(std::initializer_list<uint8_t> codes) {
  KeyList list{eMSG_UIOKEYDOWN, {}};
  std::copy_n(codes.begin(), std::min<size_t>(codes.size(), CUIOKeyboard::kListCapacity), list.codes);
  nextKeys_.push_back(list);
}

void GameHarness::HoldKeys(std::initializer_list<uint8_t> codes) {
  KeyList list{eMSG_UIOKEYHELD, {}};
  std::copy_n(codes.begin(), std::min<size_t>(codes.size(), CUIOKeyboard::kListCapacity), list.codes);
  nextKeys_.push_back(list);
}

void GameHarness::PressAndStep(uint8_t code) {
  PressKeys({code});
  Step();
}

void GameHarness::PostScriptedKeys() {
  const std::vector<KeyList> lists = std::move(nextKeys_);
  nextKeys_.clear();
  InputTargets targets;
  targets.application = game_->GetGEMReceiverId();
  targets.windowManager = GetWindowManager()->GetGUIReceiverId();
  for (const KeyList& list : lists) {
    delivering_ = list;
    KeyLists keys;
    if (list.message == eMSG_UIOKEYDOWN) {
      keys.pressed = delivering_.codes;
      keys.pressedCount = CUIOKeyboard::kListCapacity;
    } else {
      keys.repeated = delivering_.codes;
      keys.repeatedCount = CUIOKeyboard::kListCapacity;
    }
    PostKeyMessages(targets, keys);
  }
}

void GameHarness::ExitFromPause() {
  PostGameMessageTo(-1, game_->receiverId, eMSG_GExit, 0, 0.0);
  services.pauseShowing = false;
}

CGPuzzleDisc* GameHarness::UseDisc(std::unique_ptr<CGPuzzleDisc> disc) {
  std::vector<std::unique_ptr<CGPuzzleDisc>> old = std::move(game_->discs);
  game_->discs.clear();
  game_->discs.push_back(std::move(disc));
  profile().Current().discIndex = 0;
  // The disc in play hands its rainbow run on before it goes.
  game_->StartDisc();
  return game_->currentDisc;
}

std::vector<std::string> GameHarness::DebugLog() const { return LogLinesOf(kLogDBG); }

std::vector<std::string> GameHarness::StateTrace() const { return LogLinesOf(kLogFSM); }

bool GameHarness::Logged(const std::string& line) const { return CountLogLines(kLogDBG, line) > 0; }

std::vector<std::string> GameHarness::StatesEntered() const {
  std::vector<std::string> names;
  for (const std::string& line : StateTrace()) {
    if (line.rfind(kEnterTrace, 0) != 0) continue;
    const size_t start = std::strlen(kEnterTrace);
    const size_t end = line.find('\'', start);
    names.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
  }
  return names;
}

void GameHarness::ClearLog() {
  ClearLogLines(kLogDBG);
  ClearLogLines(kLogGEM);
  ClearLogLines(kLogFSM);
}

void SetQueue(CGPuzzleDisc& disc, const std::vector<int>& colours) {
  disc.queue->Init(static_cast<unsigned>(colours.size()));
  disc.queue->mode = kPipeSequence;
  for (size_t i = 0; i < colours.size(); ++i) {
    CGPuzzleGem& gem = disc.queue->At(static_cast<unsigned>(i));
    gem.SetColour(colours[i]);
    gem.type = 0;
    gem.state = GemState::Settled;
  }
}

}  // namespace puzzle_test
