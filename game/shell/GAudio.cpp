#include "game/shell/GAudio.h"

#include <algorithm>
#include <cmath>

#include "engine/foundation/Clock.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "engine/runtime/sound/SFXLog.h"
#include "game/rules/GameMessages.h"
#include "game/shell/VolumeLevel.h"

namespace {

constexpr float kDefaultMusicVolume = 0.7f;
constexpr float kSpareSourceGain = 0.1f;

GAudio* gAudio = nullptr;

// Sound table files by entry; null entries are never loaded.
constexpr const char* kSoundFiles[GAudio::kSoundCount] = {
    "Resources/Sounds/GemPlacement.ogg",
    "Resources/Sounds/GemChink01.ogg",
    "Resources/Sounds/GemBreak06.ogg",
    "Resources/Sounds/GemBreak08.ogg",
    "Resources/Sounds/GrowNovalith.ogg",
    "Resources/Sounds/ExplodeNovalith.ogg",
    "Resources/Sounds/UnstableNovalith.ogg",
    "Resources/Sounds/CollapseNovalith.ogg",
    "Resources/Sounds/Achievement.ogg",
    "Resources/Sounds/RainbowAward.ogg",
    "Resources/Sounds/ClockChime.ogg",
    "Resources/Sounds/TimerExpired.ogg",
    nullptr,
    "Resources/Music/VelkBeat.ogg",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    "Resources/Sounds/FrontEnd/Phrase1.ogg",
    "Resources/Sounds/FrontEnd/Phrase2.ogg",
    "Resources/Sounds/FrontEnd/Phrase3.ogg",
    "Resources/Sounds/FrontEnd/Phrase4.ogg",
    "Resources/Sounds/FrontEnd/Phrase5.ogg",
    "Resources/Sounds/FrontEnd/Phrase6.ogg",
    "Resources/Sounds/GameOver/Phrase1.ogg",
    "Resources/Sounds/GameOver/Phrase2.ogg",
    "Resources/Sounds/GameOver/Phrase3.ogg",
    "Resources/Sounds/GameOver/Phrase4.ogg",
    "Resources/Sounds/GameOver/Phrase5.ogg",
    "Resources/Sounds/GameOver/Phrase6.ogg",
};

// The buffers of each set in load order; set 1 opens the music stream first.
constexpr int kFrontEndSet[] = {0, 1, 20, 21, 22, 23, 24, 25};
constexpr int kGameSet[] = {2, 3, 6, 4, 7, 5, 8, 9, 10, 11, 26, 27, 28, 29, 30, 31};

// The messages that only play a sound entry on a layer.
struct PlayRow {
  uint32_t id;
  const char* logLine;
  int32_t layer;
  int32_t entry;
};

constexpr PlayRow kPlayRows[] = {
    {eMSG_GMatchedRainbow, "Audio : Play Rainbow", 0, 9},
    {eMSG_GAchievementEarned, "Audio : Play Achievement Earned", 0, 8},
    {eMSG_AInGame_PlayGemPlaced, "Audio : InGame : Play Gem Placed", 0, 0},
    {eMSG_AInGame_PlayGemBroken, "GAudio : InGame : Play Gem Broken", 0, 1},
    {eMSG_AInGame_PlayFewGemsBroken, "GAudio : InGame : Play Few Gems Broken", 0, 2},
    {eMSG_AInGame_PlayLotsGemsBroken, "GAudio : InGame : Play Lots Gems Broken", 0, 3},
    {eMSG_AInGame_PlayGemsCleared, "GAudio : InGame : Play Gems Cleared", 0, 4},
    {eMSG_AInGame_PlayTimerAlarm, "Audio : Play Timer Alarm", 0, 10},
    {eMSG_AInGame_PlayTimerExpire, "Audio : Play Timer Expire", 0, 11},
    {eMSG_AInGame_PlayNovalithExplode, "GAudio : InGame : Play Novalith Explode", 0, 5},
    {eMSG_AInGame_PlayNovalithCollapse, "GAudio : InGame : Play Novalith Collapse", 0, 7},
    {eMSG_AGUI_PlayMenuNavigation, "GAudio : GUI : Play Menu Navigation", 1, 0},
    {eMSG_AGUI_PlayMenuSelect, "GAudio : GUI : Play Menu Select", 1, 1},
};

const PlayRow* FindPlayRow(uint32_t id) {
  for (const PlayRow& row : kPlayRows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

// The record a fade message points at; null when it points at nothing.
const LayerFade* FadeRecord(const CMSGMessage* message) {
  return reinterpret_cast<const LayerFade*>(message->parameter);
}

}  // namespace

GAudio* GetGAudio() { return gAudio; }

std::unique_ptr<GameAudioLayer> CreateGameAudioLayer(int32_t voices) { return std::make_unique<GAudio>(voices); }

GAudio::GAudio(int32_t maxSourceCount, AudioSoundService& sound) : maxSources(maxSourceCount), sound_(sound) {
  CMSGListener::name = "Audio";
  normal_.Set(this, "Normal", &GAudio::OnEnterNormalFSM, &GAudio::OnUpdateNormalFSM, &GAudio::NormalFSM, nullptr);
  Next(&normal_);
  for (AudioLayer& layer : layers) layer.Reset();
  // Every entry starts unloaded: 0 is a real buffer index.
  std::fill(std::begin(sounds), std::end(sounds), -1);
  gAudio = this;
}

GAudio::~GAudio() {
  if (gAudio == this) gAudio = nullptr;
  // A music restart may still wait on the GEM queue for this receiver.
  if (CMSGSystem::Existing() && receiverId >= 0) GetGEMMSGService()->CancelMessagesTo(receiverId);
}

void GAudio::Initialise() {
  if (enabled) return;
  musicSource = ReserveSource();
  fullLevel = 1.0f;
  soundVolume = 1.0f;
  musicVolume = kDefaultMusicVolume;
  for (AudioLayer& layer : layers) layer.Reset();

  spareSource = ReserveSource();
  if (spareSource >= 0) sound_.SetSourceBaseGain(spareSource, kSpareSourceGain);
  loopSource = ReserveSource();
  // Neither plays yet: the first update lets them go from the layer again.
  layers[0].Add(loopSource);
  layers[0].Add(spareSource);

  int32_t level = 0;
  if (ReadVolumeLevel("Audio\\Music", level)) SetMusicVolume(level);
  if (ReadVolumeLevel("Audio\\Sound", level)) soundVolume = static_cast<float>(level) / kTopVolumeLevel;

  SetActive(1);
  enabled = true;
}

const char* GAudio::SoundFile(int32_t entry) {
  return entry >= 0 && entry < kSoundCount ? kSoundFiles[entry] : nullptr;
}

void GAudio::LoadSounds(int32_t which) {
  if (which == 0) {
    for (int entry : kFrontEndSet) sounds[entry] = sound_.LoadBuffer(String(kSoundFiles[entry]));
  } else if (which == 1) {
    sounds[kMusicEntry] = sound_.OpenStream(String(kSoundFiles[kMusicEntry]));
    for (int entry : kGameSet) sounds[entry] = sound_.LoadBuffer(String(kSoundFiles[entry]));
  }
}

void GAudio::SetMusicVolume(int32_t level) {
  musicVolume = static_cast<float>(std::clamp(level, 0, kTopVolumeLevel)) / kTopVolumeLevel;
  if (musicSource >= 0) sound_.SetSourceBaseGain(musicSource, musicVolume);
  if (stingSource >= 0) sound_.SetSourceBaseGain(stingSource, musicVolume);
}

int32_t GAudio::ReserveSource() {
  const int32_t source = sound_.GetFreeSource();
  if (source >= 0) sound_.SetSourceReserved(source, true);
  return source;
}

int32_t GAudio::TakeSource(int32_t layer) {
  if (!layers[layer].HasRoomToPlay()) return -1;
  const int32_t source = sound_.GetFreeSource();
  if (source < 0) return -1;
  for (AudioLayer& other : layers) other.Remove(source);
  layers[layer].Add(source);
  return source;
}

void GAudio::PlayOnLayer(int32_t layer, int32_t entry, float gain) {
  if (layer < 0 || layer >= kLayerCount || entry < 0 || entry >= kSoundCount) return;
  // An entry never loaded plays nothing, rather than whatever buffer 0 holds.
  if (sounds[entry] < 0) return;
  const int32_t source = TakeSource(layer);
  if (source < 0) return;
  sound_.BindSourceBuffer(source, sounds[entry]);
  sound_.SetSourceLooping(source, false);
  sound_.SetSourceGain(source, gain);
  sound_.PlaySource(source, soundVolume);
}

void GAudio::PlaySting(int32_t sting) {
  if (sting < 0 || sting >= kStingCount) return;
  const int32_t entry = kFirstSting + sting;
  if (sounds[entry] < 0) return;
  const int32_t source = TakeSource(1);
  if (source < 0) return;
  stingSource = source;
  sound_.BindSourceBuffer(source, sounds[entry]);
  sound_.SetSourceLooping(source, false);
  sound_.PlaySource(source, musicVolume);
}

void GAudio::PlayNovalithLoop() {
  constexpr int kLoopEntry = 6;
  if (loopSource < 0 || sounds[kLoopEntry] < 0 || sound_.IsSourcePlaying(loopSource)) return;
  // The loop joins layer 0 beside what plays there: it may have left the
  // layer when it last stopped.
  layers[0].Add(loopSource);
  sound_.BindSourceBuffer(loopSource, sounds[kLoopEntry]);
  sound_.SetSourceLooping(loopSource, true);
  sound_.PlaySource(loopSource, soundVolume);
}

void GAudio::PlayMusic() {
  if (musicSource < 0 || sounds[kMusicEntry] < 0 || sound_.IsSourcePlaying(musicSource)) return;
  layers[kMusicLayer].Add(musicSource);
  sound_.AttachStream(musicSource, sounds[kMusicEntry]);
  sound_.PlaySource(musicSource, musicVolume);
  musicOn = true;
}

void GAudio::StopMusic() {
  const AudioLayer& music = layers[kMusicLayer];
  if (music.count > 0) sound_.StopSource(music.sources[0]);
  musicOn = false;
}

void GAudio::StopLayer(int32_t layer) {
  if (layer < 0) return;
  for (int32_t i = 0; i < kLayerCount; ++i) {
    if (layer < kLayerCount && i != layer) continue;
    const AudioLayer& stopped = layers[i];
    for (uint32_t entry = 0; entry < stopped.count; ++entry) sound_.StopSource(stopped.sources[entry]);
  }
  if (layer >= kLayerCount) musicOn = false;
}

void GAudio::FadeLayer(AudioLayer& layer, bool fadeIn, float seconds, int32_t notifyId) {
  const float from = fadeIn ? 0.0f : fullLevel;
  const float to = fadeIn ? fullLevel : 0.0f;
  // A fade of no length means "now": the fader would otherwise hold its
  // start and never finish.
  if (!(seconds > 0.0f)) {
    layer.fader.Start(ValueFader::kLinear, from, to, 0.0f);
    layer.fader.current = to;
  } else {
    layer.fader.Start(ValueFader::kLinear, from, to, seconds);
  }
  layer.notifyId = notifyId;
}

void GAudio::FadeLayers(int32_t layer, bool fadeIn, float seconds, int32_t notifyId) {
  if (layer < 0) return;
  for (int32_t i = 0; i < kLayerCount; ++i) {
    if (layer < kLayerCount && i != layer) continue;
    FadeLayer(layers[i], fadeIn, seconds, notifyId);
  }
}

void GAudio::OnEnterNormalFSM() { sound_.SetVolume(1.0f); }

void GAudio::OnUpdateNormalFSM() {
  if (!enabled) return;
  const float dtSeconds = Clock::Instance().GetGameDelta();
  for (int32_t i = 0; i < kLayerCount; ++i) UpdateLayer(i, dtSeconds);
}

void GAudio::UpdateLayer(int32_t index, float dtSeconds) {
  AudioLayer& layer = layers[index];
  ValueFader& fader = layer.fader;
  if (!fader.Finished()) {
    fader.Update(dtSeconds);
  } else if (fader.GetStart() == fullLevel && fader.GetTarget() < fader.GetStart() && layer.notifyId >= 0) {
    const int32_t notifyId = layer.notifyId;
    layer.notifyId = -1;
    PostGameMessageTo(receiverId, notifyId, eMSG_ALayer_VolumeFadeOutComplete, 0, 0.0);
  }
  uint32_t entry = 0;
  while (entry < layer.count) {
    const int32_t source = layer.sources[entry];
    if (sound_.IsSourcePlaying(source)) {
      sound_.SetSourceGain(source, fader.GetCurrent());
      ++entry;
      continue;
    }
    layer.RemoveAt(entry);
    if (musicOn && index == kMusicLayer && source == musicSource) {
      PostGameMessageTo(receiverId, receiverId, eMSG_ABackground_PlayMusic, 0, kMusicRestartSeconds);
    }
  }
}

void GAudio::NormalFSM(CMSGMessage* message) {
  if (!enabled) return;
  const uint32_t id = message->id;
  if (const PlayRow* row = FindPlayRow(id)) {
    SFXPrintf("%s", row->logLine);
    PlayOnLayer(row->layer, row->entry, 1.0f);
    message->handled |= 1;
    return;
  }
  switch (id) {
    case eMSG_AInGame_PlaySpeech:
    case eMSG_AInGame_PlayPuzzleSpin:
    case eMSG_AGUI_PlayGameOver:
      // Handled, but they have no sound of their own.
      break;
    case eMSG_AInGame_PlayNovalithUnstable:
      SFXPrintf("GAudio : InGame : Play Novalith Unstable");
      PlayNovalithLoop();
      break;
    case eMSG_AInGame_StopNovalithUnstable:
      SFXPrintf("GAudio : InGame : Stop Novalith Unstable");
      if (loopSource >= 0) sound_.StopSource(loopSource);
      break;
    case eMSG_ABackground_PlayMusic:
      SFXPrintf("GAudio : Background : Play Music");
      PlayMusic();
      break;
    case eMSG_ABackground_StopMusic:
      SFXPrintf("GAudio : Background : Stop music");
      StopMusic();
      break;
    case eMSG_ALayer_VolumeFadeIn:
    case eMSG_ALayer_VolumeFadeOut: {
      const bool fadeIn = id == eMSG_ALayer_VolumeFadeIn;
      SFXPrintf(fadeIn ? "GAudio : Layer : Volume Fade In" : "GAudio : Layer : Volume Fade Out");
      if (const LayerFade* fade = FadeRecord(message)) FadeLayers(fade->layer, fadeIn, fade->seconds, message->source);
      break;
    }
    case eMSG_ALayer_Stop:
      if (const int32_t* layer = reinterpret_cast<const int32_t*>(message->parameter)) StopLayer(*layer);
      break;
    case eMSG_AGUI_PlaySting:
      SFXPrintf("GAudio : GUIPlay Sting");
      if (const int32_t* sting = reinterpret_cast<const int32_t*>(message->parameter)) PlaySting(*sting);
      break;
    default:
      // Fade-out completions and every other id are someone else's.
      return;
  }
  message->handled |= 1;
}
