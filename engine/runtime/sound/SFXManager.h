#pragma once
// The sound service on OpenAL: one device, a pool of sources, decoded effect
// buffers and streamed music, loaded a few files a frame and refilled every
// frame. Everything plays relative to the listener.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/String.h"
#include "engine/foundation/Vector3.h"
#include "engine/runtime/sound/SFXBuffer.h"
#include "engine/runtime/sound/SFXSource.h"
#include "engine/runtime/sound/SFXStream.h"

// OpenAL's device and context handles.
struct ALCdevice_struct;
struct ALCcontext_struct;

// Anything the listener can follow (a scene actor): its world position.
class SFXPositionSource {
 public:
  virtual ~SFXPositionSource() = default;
  virtual Vector3 GetPosition() const = 0;
};

// Everything a source needs to start playing, applied in one call.
struct SFXSourceParams {
  int source = -1;
  int buffer = -1;  // -1 keeps the source's buffer
  float gain = 1.0f;
  uint8_t looping = 0;
  Vector3 position;
  Vector3 velocity;
};

class CSFXManager {
 public:
  static constexpr int kStreamBufferCount = 2;

  CSFXManager() = default;
  // Shuts down when still running.
  virtual ~CSFXManager();
  CSFXManager(const CSFXManager&) = delete;
  CSFXManager& operator=(const CSFXManager&) = delete;

  // Opens the default device (or the named one) and its context, with room
  // for sourceCount sources; false, and every operation a no-op, without one.
  bool Init(int sourceCount, const char* deviceName = nullptr);
  // Deletes every source, stream and buffer, then closes the context and the
  // device. Called before static destruction, as it talks to OpenAL.
  void Shutdown();
  // Per frame: loads queued files, moves the listener, feeds the streams
  // (not while suspended).
  void Update();
  // Holds every sound where it stands while no frames run (the window is
  // minimised): the device stops mixing when it offers that
  // (ALC_SOFT_pause_device), else every playing source is paused.
  void Suspend();
  // Sounds again from where Suspend held it.
  void Resume();
  bool IsSuspended() const { return suspended_; }
  // Tests take the way of a device without the pause extension with false.
  void SetDevicePauseAllowed(bool allowed) { devicePauseAllowed_ = allowed; }
  // Loads every queued file not tried yet, newest first, buffers before
  // streams, at most the load limit in one pass.
  void LoadQueued();

  // Index of the buffer with that name, queuing a new one when there is none; -1 on failure.
  int LoadBuffer(const String& name);
  // Index of the stream with that name, queuing a new one when there is none; -1 on failure.
  int OpenStream(const String& name);
  // Index of a source that is neither reserved nor playing, creating one when
  // all are busy; -1 when OpenAL has no more sources to give.
  int GetFreeSource();
  // Index of the newest buffer or stream with that name, or -1.
  int FindBuffer(const String& name) const;
  int FindStream(const String& name) const;

  void BindSourceBuffer(int source, int buffer);
  void AttachStream(int source, int stream);
  void SetSourceLooping(int source, bool looping);
  // Applies gain x master volume x the source's own gain (nothing stored).
  void SetSourceGain(int source, float gain);
  // Stores and applies the gain (clamped to 0..1), then plays.
  void PlaySource(int source, float gain);
  bool IsSourcePlaying(int source) const;
  void StopSource(int source);
  // Master volume clamped to 0..1; every active source's gain is scaled by it.
  // A volume set before Init is kept and holds once the device is open.
  void SetVolume(float volume);
  void SetSourceReserved(int source, bool reserved);
  void SetSourceBaseGain(int source, float gain);
  void PauseSource(int source);
  void RewindSource(int source);
  void SetSourcePosition(int source, const Vector3& position);
  void SetSourceVelocity(int source, const Vector3& velocity);
  void ApplySourceParams(const SFXSourceParams& params);
  void StopAllSources();
  // Stops and detaches every source using it, then deletes it (later indices move down).
  void RemoveBuffer(int buffer);
  void RemoveStream(int stream);
  void RemoveSource(int source);
  CSFXSource* GetSource(int source) const;
  CSFXBuffer* GetBuffer(int buffer) const;
  CSFXStream* GetStream(int stream) const;

  // The listener follows actor's position each frame (null: stays put).
  void SetListenerActor(const SFXPositionSource* actor);
  void SetListenerPosition(const Vector3& position);
  void SetListenerVelocity(const Vector3& velocity);
  void SetListenerOrientation(const Vector3& at, const Vector3& up);

  // Logs the OpenAL error text; true only for AL_NO_ERROR.
  static bool CheckError(int alErrorCode);

  bool IsInitialised() const { return initialised_; }
  int GetBufferCount() const { return static_cast<int>(buffers_.size()); }
  int GetSourceCount() const { return static_cast<int>(sources_.size()); }
  int GetStreamCount() const { return static_cast<int>(streams_.size()); }
  // Buffers and streams created but not loaded yet.
  int GetPending() const { return pending_; }
  // Files loaded in one pass at most; -1 for no limit.
  void SetLoadLimit(int limit) { loadLimit_ = limit; }
  int GetLoadLimit() const { return loadLimit_; }
  float GetVolume() const { return masterVolume_; }
  // Buffers and streams the last LoadQueued call loaded (0 after an idle call).
  int GetLoadedThisPass() const { return loadedThisPass_; }
  const String& GetDefaultDeviceName() const { return defaultDeviceName_; }
  const String& GetDeviceList() const { return deviceList_; }

 private:
  bool LoadLimitReached() const { return loadLimit_ >= 0 && loadedThisPass_ >= loadLimit_; }
  void CountLoaded();

  bool initialised_ = false;
  std::vector<std::unique_ptr<CSFXBuffer>> buffers_;
  std::vector<std::unique_ptr<CSFXSource>> sources_;
  std::vector<std::unique_ptr<CSFXStream>> streams_;
  const SFXPositionSource* listenerActor_ = nullptr;
  int loadLimit_ = -1;
  int loadedThisPass_ = 0;
  int pending_ = 0;
  float masterVolume_ = 0.0f;
  String defaultDeviceName_;
  String deviceList_;
  ALCdevice_struct* device_ = nullptr;
  ALCcontext_struct* context_ = nullptr;
  bool suspended_ = false;
  bool devicePauseAllowed_ = true;
  bool devicePaused_ = false;
  // The sources Suspend paused itself (when the device could not be paused).
  std::vector<const CSFXSource*> pausedSources_;
};

// The sound service, built on first use.
CSFXManager* GetSFXManager();
