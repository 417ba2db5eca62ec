#include "game/shell/AudioSoundService.h"

#include "engine/runtime/sound/SFXManager.h"

namespace {

// Looks the manager up on every call: the run opens and shuts it down, and
// the audio layer only holds this forwarder.
class EngineSound : public AudioSoundService {
 public:
  int LoadBuffer(const String& fileName) override { return GetSFXManager()->LoadBuffer(fileName); }
  int OpenStream(const String& fileName) override { return GetSFXManager()->OpenStream(fileName); }
  int GetFreeSource() override { return GetSFXManager()->GetFreeSource(); }
  void SetSourceReserved(int source, bool reserved) override { GetSFXManager()->SetSourceReserved(source, reserved); }
  void SetSourceBaseGain(int source, float gain) override { GetSFXManager()->SetSourceBaseGain(source, gain); }
  void BindSourceBuffer(int source, int buffer) override { GetSFXManager()->BindSourceBuffer(source, buffer); }
  void AttachStream(int source, int stream) override { GetSFXManager()->AttachStream(source, stream); }
  void SetSourceLooping(int source, bool looping) override { GetSFXManager()->SetSourceLooping(source, looping); }
  void SetSourceGain(int source, float gain) override { GetSFXManager()->SetSourceGain(source, gain); }
  void PlaySource(int source, float gain) override { GetSFXManager()->PlaySource(source, gain); }
  bool IsSourcePlaying(int source) override { return GetSFXManager()->IsSourcePlaying(source); }
  void StopSource(int source) override { GetSFXManager()->StopSource(source); }
  void SetVolume(float volume) override { GetSFXManager()->SetVolume(volume); }
};

}  // namespace

AudioSoundService& EngineAudioSoundService() {
  static EngineSound sound;
  return sound;
}
