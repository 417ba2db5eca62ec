#pragma once

// The sound-manager operations the game's audio layer uses, behind an
// interface so tests can stand in a fake whose sources play until the test
// ends them. The engine's implementation forwards to GetSFXManager().

#include "engine/foundation/String.h"

class AudioSoundService {
 public:
  virtual ~AudioSoundService() = default;

  // Index of the buffer loaded from the file (queued for loading); -1 on failure.
  virtual int LoadBuffer(const String& fileName) = 0;
  // Index of the music stream opened on the file; -1 on failure.
  virtual int OpenStream(const String& fileName) = 0;
  // A source neither reserved nor playing; -1 when none can be had.
  virtual int GetFreeSource() = 0;
  virtual void SetSourceReserved(int source, bool reserved) = 0;
  // Stores the source's own gain (0..1), which later gains are multiplied by.
  virtual void SetSourceBaseGain(int source, float gain) = 0;
  virtual void BindSourceBuffer(int source, int buffer) = 0;
  virtual void AttachStream(int source, int stream) = 0;
  virtual void SetSourceLooping(int source, bool looping) = 0;
  // Applies gain x master volume x the source's stored gain.
  virtual void SetSourceGain(int source, float gain) = 0;
  // Stores the gain as the source's own, then plays it.
  virtual void PlaySource(int source, float gain) = 0;
  virtual bool IsSourcePlaying(int source) = 0;
  virtual void StopSource(int source) = 0;
  // The master volume, 0..1.
  virtual void SetVolume(float volume) = 0;
};

// The engine's sound manager behind the interface.
AudioSoundService& EngineAudioSoundService();
