#pragma once

// A sound manager for the audio layer's tests: sources play from PlaySource
// until the test ends them, loads hand out indices in call order, and every
// gain is kept so the test can read what the layer asked for.

#include <set>
#include <string>
#include <vector>

#include "game/shell/AudioSoundService.h"

namespace shell_test {

class FakeAudioSound : public AudioSoundService {
 public:
  struct Source {
    bool reserved = false;
    bool playing = false;
    bool looping = false;
    int buffer = -1;
    int stream = -1;
    // The stored gain (PlaySource, SetSourceBaseGain) and the last applied one.
    float storedGain = 1.0f;
    float appliedGain = -1.0f;
    int plays = 0;
  };

  int LoadBuffer(const String& fileName) override;
  int OpenStream(const String& fileName) override;
  int GetFreeSource() override;
  void SetSourceReserved(int source, bool reserved) override;
  void SetSourceBaseGain(int source, float gain) override;
  void BindSourceBuffer(int source, int buffer) override;
  void AttachStream(int source, int stream) override;
  void SetSourceLooping(int source, bool looping) override;
  void SetSourceGain(int source, float gain) override;
  void PlaySource(int source, float gain) override;
  bool IsSourcePlaying(int source) override;
  void StopSource(int source) override;
  void SetVolume(float volume) override { masterVolume = volume; }

  // The source at an index; fails the test for an invalid one.
  Source& At(int source);
  // The sound came to its end.
  void End(int source) { At(source).playing = false; }
  // Indices of the playing sources.
  std::vector<int> Playing() const;
  // The playing source bound to a buffer, or -1.
  int PlayingBuffer(int buffer) const;

  std::vector<Source> sources;
  // No more sources than this are made.
  int sourceLimit = 64;
  float masterVolume = 0.0f;
  // Files loaded, in order, as "buffer:<name>" or "stream:<name>".
  std::vector<std::string> loads;
  // Files whose load fails (-1).
  std::set<std::string> failing;
  int stopCalls = 0;

 private:
  int nextBuffer_ = 0;
  int nextStream_ = 0;
};

}  // namespace shell_test
