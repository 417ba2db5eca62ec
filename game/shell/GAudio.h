#pragma once

// The game's audio layer: turns the game's audio messages into sounds and
// music. A state machine "Audio" with the one state "Normal", four volume
// layers (0 in-game, 1 front end and GUI, 2 unused, 3 music), a table of 32
// sounds loaded in two sets, and a few reserved sources. The game creates
// the one instance and destroys it; everyone else posts to its receiver id,
// while the shell's screens call it directly through GetGAudio().

#include <cstdint>
#include <memory>

#include "engine/runtime/fsm/FsmState.h"
#include "game/puzzle/GameServices.h"
#include "game/shell/AudioLayer.h"
#include "game/shell/AudioSoundService.h"

class CMSGMessage;

class GAudio : public GameAudioLayer {
 public:
  static constexpr int kLayerCount = 4;
  static constexpr int kMusicLayer = 3;
  static constexpr int kSoundCount = 32;
  // The music stream's index sits in the sound table at this entry.
  static constexpr int kMusicEntry = 13;
  // Sting n plays entry kFirstSting + n.
  static constexpr int kFirstSting = 20;
  static constexpr int kStingCount = 12;
  // Seconds between the end of the music and its restart.
  static constexpr double kMusicRestartSeconds = 5.0;

  // The file a sound entry loads (relative to the working folder); null for
  // an unused entry or one outside the table.
  static const char* SoundFile(int32_t entry);

  // Builds the "Audio" state machine and requests "Normal"; the layer stays
  // deaf and still until Initialise. Sets the program-wide pointer.
  explicit GAudio(int32_t maxSources, AudioSoundService& sound = EngineAudioSoundService());
  // Makes no sound-manager call: the run shuts sound down after the game.
  ~GAudio() override;

  // The first call reserves the sources, sets the volumes (the registry's
  // "Audio\Music" and "Audio\Sound" when stored) and switches the layer on;
  // later calls do nothing.
  void Initialise();
  // Loads sound set 0 (front end) or 1 (game and music); others load nothing.
  void LoadSounds(int32_t which) override;
  // Music level 0 to 10 (clamped); applied at once to the music and sting sources.
  void SetMusicVolume(int32_t level);
  // Plays a sound entry on a layer; ignored when the layer is full, the
  // entry is not loaded or no source is free.
  void PlayOnLayer(int32_t layer, int32_t entry, float gain);
  // Stops the layer's sources; 4 or more stops every layer and the music's
  // restart. A stop of layer 3 alone leaves the restart on: the music comes
  // back 5 s later unless eMSG_ABackground_StopMusic came first, so callers
  // that mean silence send that too.
  void StopLayer(int32_t layer);

  // The handlers of "Normal".
  void OnEnterNormalFSM();
  void OnUpdateNormalFSM();
  void NormalFSM(CMSGMessage* message);

  AudioLayer layers[kLayerCount];
  // Buffer indices of the sound manager (-1 not loaded); entry 13 holds the
  // music stream's index.
  int32_t sounds[kSoundCount];
  // Kept as given; the sound manager decides how many sources there are.
  int32_t maxSources;
  int32_t musicSource = -1;
  int32_t stingSource = -1;
  int32_t spareSource = -1;
  int32_t loopSource = -1;
  bool enabled = false;
  // The music should be playing: it restarts when it ends.
  bool musicOn = false;
  float musicVolume = 0.0f;
  float soundVolume = 0.0f;
  // The level a layer fades in to and out from.
  float fullLevel = 1.0f;

 private:
  // Takes a free source for a layer with room; -1 when there is none. The
  // source leaves any other layer first: one that ended between two updates
  // may still be listed where it played before.
  int32_t TakeSource(int32_t layer);
  // A free source kept for the layer's own use; -1 when none is free.
  int32_t ReserveSource();
  void PlaySting(int32_t sting);
  void PlayNovalithLoop();
  void PlayMusic();
  void StopMusic();
  // Starts a fade of a layer, or of every layer for 4 or more.
  void FadeLayers(int32_t layer, bool fadeIn, float seconds, int32_t notifyId);
  void FadeLayer(AudioLayer& layer, bool fadeIn, float seconds, int32_t notifyId);
  void UpdateLayer(int32_t index, float dtSeconds);

  AudioSoundService& sound_;
  FsmStateOf<GAudio> normal_;
};

// The audio layer while one exists, else null.
GAudio* GetGAudio();

// The shell's audio layer for the game's services: built with the game's
// number of voices on the engine's sound manager.
std::unique_ptr<GameAudioLayer> CreateGameAudioLayer(int32_t voices);
