// The sound service.

#include "engine/runtime/sound/SFXManager.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>

#include "engine/foundation/PlaceholderWarning.h"
#include "engine/runtime/sound/SFXLog.h"

namespace {

template <typename T>
T* ElementAt(const std::vector<std::unique_ptr<T>>& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.size())) return nullptr;
  return list[index].get();
}

// Newest first, so the latest element with a name wins.
template <typename T>
int FindNewestByName(const std::vector<std::unique_ptr<T>>& list, const String& name) {
  for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i) {
    if (list[i]->GetName() == name) return i;
  }
  return -1;
}

}  // namespace

CSFXManager::~CSFXManager() { Shutdown(); }

bool CSFXManager::CheckError(int alErrorCode) { return SFXCheckError(alErrorCode); }

bool CSFXManager::Init(int sourceCount, const char* deviceName) {
  if (initialised_) return true;
  SFXPrintf("Initialising Manager...");
  SFXClearError();

  SFXPrintf("Enumerating devices...");
  const char* defaultName = alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
  const char* devices = alcGetString(nullptr, ALC_DEVICE_SPECIFIER);
  defaultDeviceName_ = defaultName ? defaultName : "";
  deviceList_ = devices ? devices : "";  // the list's first name, up to its terminator
  SFXPrintf("Default : %s", defaultDeviceName_.Chars());
  SFXPrintf("Devices : %s", deviceList_.Chars());

  device_ = alcOpenDevice(deviceName ? deviceName : defaultDeviceName_.Chars());
  if (device_ == nullptr) {
    SFXPrintf("... failed.");
    return false;
  }
  context_ = alcCreateContext(device_, nullptr);
  alcMakeContextCurrent(context_);
  SFXCheckLastCall();
  SFXClearError();
  alListenerf(AL_GAIN, 1.0f);
  SFXCheckLastCall();

  sources_.reserve(static_cast<size_t>(std::max(sourceCount, 0)));
  SFXPrintf("... success.");
  initialised_ = true;
  return true;
}

void CSFXManager::Shutdown() {
  // A device held by Suspend goes as it is; the next Init starts afresh.
  suspended_ = false;
  devicePaused_ = false;
  pausedSources_.clear();
  // Sources first: they hold buffers and streams; then streams, buffers.
  while (!sources_.empty()) sources_.pop_back();
  for (auto& stream : streams_) stream->Close();
  streams_.clear();
  buffers_.clear();
  pending_ = 0;
  listenerActor_ = nullptr;
  if (context_ != nullptr) {
    if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    context_ = nullptr;
  }
  if (device_ != nullptr) {
    alcCloseDevice(device_);
    device_ = nullptr;
  }
  initialised_ = false;
}

void CSFXManager::Update() {
  if (pending_ > 0) LoadQueued();
  if (listenerActor_ != nullptr && initialised_) SetListenerPosition(listenerActor_->GetPosition());
  // A source held by Suspend is not playing, and feeding it would start it again.
  if (suspended_) return;
  for (int i = static_cast<int>(sources_.size()) - 1; i >= 0; --i) sources_[i]->UpdateStream();
}

void CSFXManager::Suspend() {
  if (!initialised_ || suspended_) return;
  suspended_ = true;
  if (devicePauseAllowed_ && alcIsExtensionPresent(device_, "ALC_SOFT_pause_device") == ALC_TRUE) {
    auto pause = reinterpret_cast<LPALCDEVICEPAUSESOFT>(alcGetProcAddress(device_, "alcDevicePauseSOFT"));
    if (pause != nullptr) {
      pause(device_);
      devicePaused_ = true;
      return;
    }
  }
  pausedSources_.clear();
  for (const auto& source : sources_) {
    if (!source->IsPlaying()) continue;
    source->Pause();
    pausedSources_.push_back(source.get());
  }
}

void CSFXManager::Resume() {
  if (!suspended_) return;
  suspended_ = false;
  if (devicePaused_) {
    devicePaused_ = false;
    auto resume = reinterpret_cast<LPALCDEVICERESUMESOFT>(alcGetProcAddress(device_, "alcDeviceResumeSOFT"));
    if (resume != nullptr) resume(device_);
    return;
  }
  // Only what Suspend paused plays on; a source paused by its owner stays so.
  for (const auto& source : sources_) {
    if (std::find(pausedSources_.begin(), pausedSources_.end(), source.get()) == pausedSources_.end()) continue;
    ALint state = 0;
    SFXClearError();
    alGetSourcei(source->GetALSource(), AL_SOURCE_STATE, &state);
    SFXCheckLastCall();
    if (state != AL_PAUSED) continue;
    SFXClearError();
    alSourcePlay(source->GetALSource());
    SFXCheckLastCall();
  }
  pausedSources_.clear();
}

void CSFXManager::CountLoaded() {
  ++loadedThisPass_;
  if (pending_ >= 0) --pending_;
}

void CSFXManager::LoadQueued() {
  // Counted afresh on every call, so an idle call reports nothing loaded.
  loadedThisPass_ = 0;
  if (!initialised_ || pending_ <= 0) return;
  const String dashes("----------------------------------------------------------------");
  SFXPrintf("%s", dashes.Chars());
  SFXPrintf("%d / %d resources to load", pending_, (GetBufferCount() - 1) + (GetStreamCount() - 1));
  SFXPrintf("%s", dashes.Chars());

  // A file is tried once: one that fails must not use up later passes (with a
  // load limit of 1 it would stop every file after it from loading).
  for (int i = GetBufferCount() - 1; i >= 0 && !LoadLimitReached(); --i) {
    CSFXBuffer* buffer = buffers_[i].get();
    if (buffer->GetALBuffer() != 0 || buffer->WasLoadAttempted()) continue;
    SFXPrintf("Loading buffer... %s", buffer->GetName().Chars());
    buffer->Load();
    // A ".wav" name is recognised and stays silent by design.
    if (buffer->GetALBuffer() == 0 && !SFXNameHasExtension(buffer->GetName(), ".wav")) {
      WarnPlaceholder(buffer->GetName().Chars(), "no sound decoded");
    }
    CountLoaded();
  }
  for (int i = GetStreamCount() - 1; i >= 0 && !LoadLimitReached(); --i) {
    CSFXStream* stream = streams_[i].get();
    if (stream->WasOpenAttempted()) continue;
    SFXPrintf("Opening stream... %s", stream->GetName().Chars());
    stream->Open();
    if (!stream->HasDecoder()) WarnPlaceholder(stream->GetName().Chars(), "no music decoded");
    CountLoaded();
  }
}

int CSFXManager::FindBuffer(const String& name) const { return FindNewestByName(buffers_, name); }

int CSFXManager::FindStream(const String& name) const { return FindNewestByName(streams_, name); }

int CSFXManager::LoadBuffer(const String& name) {
  if (!initialised_ || name.IsEmpty()) return -1;
  int existing = FindBuffer(name);
  if (existing >= 0) return existing;
  buffers_.push_back(std::make_unique<CSFXBuffer>(name.Chars()));
  ++pending_;
  return GetBufferCount() - 1;
}

int CSFXManager::OpenStream(const String& name) {
  if (!initialised_ || name.IsEmpty()) return -1;
  int existing = FindStream(name);
  if (existing >= 0) return existing;
  auto stream = std::make_unique<CSFXStream>(name.Chars());
  stream->CreateBuffers(kStreamBufferCount);
  streams_.push_back(std::move(stream));
  ++pending_;
  return GetStreamCount() - 1;
}

int CSFXManager::GetFreeSource() {
  if (!initialised_) return -1;
  for (int i = GetSourceCount() - 1; i >= 0; --i) {
    CSFXSource* source = sources_[i].get();
    if (source->IsReserved()) continue;
    // A source that never got an OpenAL name is useless; skip it.
    if (!source->HasALSource()) continue;
    if (!source->IsActive() || !source->IsPlaying()) return i;
  }
  auto source = std::make_unique<CSFXSource>();
  // When OpenAL refuses more sources, keeping the dead one would only grow the
  // list by one useless entry per request.
  if (!source->HasALSource()) return -1;
  sources_.push_back(std::move(source));
  return GetSourceCount() - 1;
}

void CSFXManager::BindSourceBuffer(int source, int buffer) {
  if (!initialised_) return;
  if (CSFXSource* s = GetSource(source)) s->SetBuffer(GetBuffer(buffer));
}

void CSFXManager::AttachStream(int source, int stream) {
  if (!initialised_) return;
  if (CSFXSource* s = GetSource(source)) s->SetStream(GetStream(stream));
}

void CSFXManager::SetSourceLooping(int source, bool looping) {
  if (CSFXSource* s = GetSource(source)) s->SetLooping(looping);
}

void CSFXManager::SetSourceGain(int source, float gain) {
  if (CSFXSource* s = GetSource(source)) s->ApplyGain(gain * masterVolume_);
}

void CSFXManager::PlaySource(int source, float gain) {
  if (CSFXSource* s = GetSource(source)) {
    s->SetGain(gain);
    s->Play();
  }
}

bool CSFXManager::IsSourcePlaying(int source) const {
  CSFXSource* s = GetSource(source);
  return s != nullptr && s->IsPlaying();
}

void CSFXManager::StopSource(int source) {
  if (CSFXSource* s = GetSource(source)) s->Stop();
}

void CSFXManager::SetVolume(float volume) {
  // Kept even before Init: the game sets its volume before the run opens the
  // device, and every source played later is scaled by it.
  masterVolume_ = std::clamp(volume, 0.0f, 1.0f);
  for (int i = GetSourceCount() - 1; i >= 0; --i) {
    CSFXSource* source = sources_[i].get();
    if (source->IsActive()) source->SetGain(std::clamp(masterVolume_ * source->GetGain(), 0.0f, 1.0f));
  }
}

void CSFXManager::SetSourceReserved(int source, bool reserved) {
  if (CSFXSource* s = GetSource(source)) s->SetReserved(reserved);
}

void CSFXManager::SetSourceBaseGain(int source, float gain) {
  if (CSFXSource* s = GetSource(source)) s->SetGain(gain);
}

void CSFXManager::PauseSource(int source) {
  if (CSFXSource* s = GetSource(source)) s->Pause();
}

void CSFXManager::RewindSource(int source) {
  if (CSFXSource* s = GetSource(source)) s->Rewind();
}

void CSFXManager::SetSourcePosition(int source, const Vector3& position) {
  if (CSFXSource* s = GetSource(source)) s->SetPosition(position);
}

void CSFXManager::SetSourceVelocity(int source, const Vector3& velocity) {
  if (CSFXSource* s = GetSource(source)) s->SetVelocity(velocity);
}

void CSFXManager::ApplySourceParams(const SFXSourceParams& params) {
  if (params.buffer >= 0) BindSourceBuffer(params.source, params.buffer);
  SetSourceGain(params.source, params.gain);
  SetSourceLooping(params.source, params.looping != 0);
  SetSourcePosition(params.source, params.position);
  SetSourceVelocity(params.source, params.velocity);
}

void CSFXManager::StopAllSources() {
  if (!initialised_) return;
  for (int i = GetSourceCount() - 1; i >= 0; --i) sources_[i]->Stop();
}

void CSFXManager::RemoveBuffer(int buffer) {
  CSFXBuffer* removed = GetBuffer(buffer);
  if (!initialised_ || removed == nullptr) return;
  // Detach before deleting: OpenAL refuses to delete a buffer a source still
  // holds, and the source must not keep a pointer to freed memory.
  for (auto& source : sources_) {
    if (source->GetBuffer() != removed) continue;
    source->Stop();
    source->SetBuffer(nullptr);
  }
  if (removed->GetALBuffer() == 0 && !removed->WasLoadAttempted() && pending_ > 0) --pending_;
  buffers_.erase(buffers_.begin() + buffer);
}

void CSFXManager::RemoveStream(int stream) {
  CSFXStream* removed = GetStream(stream);
  if (!initialised_ || removed == nullptr) return;
  for (auto& source : sources_) {
    if (source->GetStream() != removed) continue;
    source->Stop();
    source->SetStream(nullptr);
  }
  if (!removed->WasOpenAttempted() && pending_ > 0) --pending_;
  removed->Close();
  streams_.erase(streams_.begin() + stream);
}

void CSFXManager::RemoveSource(int source) {
  if (!initialised_ || GetSource(source) == nullptr) return;
  sources_.erase(sources_.begin() + source);
}

CSFXSource* CSFXManager::GetSource(int source) const { return initialised_ ? ElementAt(sources_, source) : nullptr; }

CSFXBuffer* CSFXManager::GetBuffer(int buffer) const { return initialised_ ? ElementAt(buffers_, buffer) : nullptr; }

CSFXStream* CSFXManager::GetStream(int stream) const { return initialised_ ? ElementAt(streams_, stream) : nullptr; }

void CSFXManager::SetListenerActor(const SFXPositionSource* actor) {
  if (initialised_) listenerActor_ = actor;
}

void CSFXManager::SetListenerPosition(const Vector3& position) {
  if (!initialised_) return;
  const float values[3] = {position.x, position.y, position.z};
  SFXClearError();
  alListenerfv(AL_POSITION, values);
  SFXCheckLastCall();
}

void CSFXManager::SetListenerVelocity(const Vector3& velocity) {
  if (!initialised_) return;
  const float values[3] = {velocity.x, velocity.y, velocity.z};
  SFXClearError();
  alListenerfv(AL_VELOCITY, values);
  SFXCheckLastCall();
}

void CSFXManager::SetListenerOrientation(const Vector3& at, const Vector3& up) {
  if (!initialised_) return;
  const float values[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
  SFXClearError();
  alListenerfv(AL_ORIENTATION, values);
  SFXCheckLastCall();
}

CSFXManager* GetSFXManager() {
  static CSFXManager manager;
  return &manager;
}
