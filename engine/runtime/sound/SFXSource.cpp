// OpenAL source wrapper for buffers and streams.

#include "engine/runtime/sound/SFXSource.h"

#include <AL/al.h>

#include <algorithm>

#include "engine/runtime/sound/SFXBuffer.h"
#include "engine/runtime/sound/SFXLog.h"
#include "engine/runtime/sound/SFXStream.h"

CSFXSource::CSFXSource() {
  ALuint name = 0;
  SFXClearError();
  alGenSources(1, &name);
  if (!SFXCheckLastCall() || name == 0) {
    SFXPrintf("Starving for sources!");
    return;
  }
  source_ = name;
  SFXClearError();
  alSourcef(source_, AL_PITCH, 1.0f);
  SFXCheckLastCall();
  SFXClearError();
  alSourcef(source_, AL_ROLLOFF_FACTOR, 0.0f);
  SFXCheckLastCall();
  SFXClearError();
  alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
  SFXCheckLastCall();
}

CSFXSource::~CSFXSource() {
  Stop();
  if (source_ == 0) return;
  SFXClearError();
  alSourcei(source_, AL_BUFFER, 0);
  SFXCheckLastCall();
  SFXClearError();
  alDeleteSources(1, &source_);
  SFXCheckLastCall();
  source_ = 0;
}

void CSFXSource::SetBuffer(CSFXBuffer* buffer) {
  buffer_ = buffer;
  if (source_ == 0) {
    active_ = false;
    return;
  }
  SFXClearError();
  alSourcei(source_, AL_BUFFER, buffer ? static_cast<ALint>(buffer->GetALBuffer()) : 0);
  SFXCheckLastCall();
  active_ = buffer != nullptr;
}

void CSFXSource::SetStream(CSFXStream* stream) {
  stream_ = stream;
  active_ = source_ != 0 && stream != nullptr;
}

void CSFXSource::SetGain(float gain) {
  if (!active_) return;
  gain_ = std::clamp(gain, 0.0f, 1.0f);
  SFXClearError();
  alSourcef(source_, AL_GAIN, gain_);
  SFXCheckLastCall();
}

void CSFXSource::ApplyGain(float gain) {
  if (!active_) return;
  SFXClearError();
  alSourcef(source_, AL_GAIN, gain * gain_);
  SFXCheckLastCall();
}

bool CSFXSource::IsPlaying() const {
  if (!active_) return false;
  ALint state = 0;
  SFXClearError();
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  SFXCheckLastCall();
  return state == AL_PLAYING;
}

void CSFXSource::SetLooping(bool looping) {
  if (!active_) return;
  SFXClearError();
  alSourcei(source_, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
  SFXCheckLastCall();
}

void CSFXSource::Pause() {
  if (!active_) return;
  SFXClearError();
  alSourcePause(source_);
  SFXCheckLastCall();
}

void CSFXSource::Rewind() {
  if (!active_) return;
  SFXClearError();
  alSourceRewind(source_);
  SFXCheckLastCall();
}

void CSFXSource::SetPosition(const Vector3& position) {
  if (source_ == 0) return;
  SFXClearError();
  alSource3f(source_, AL_POSITION, position.x, position.y, position.z);
  SFXCheckLastCall();
}

void CSFXSource::SetVelocity(const Vector3& velocity) {
  if (source_ == 0) return;
  SFXClearError();
  alSource3f(source_, AL_VELOCITY, velocity.x, velocity.y, velocity.z);
  SFXCheckLastCall();
}

bool CSFXSource::UsesBuffer(const CSFXBuffer* buffer) const { return active_ && buffer_ == buffer; }

bool CSFXSource::UsesStream(const CSFXStream* stream) const { return active_ && stream_ == stream; }

void CSFXSource::Play() {
  if (!active_) return;
  if (stream_ != nullptr) {
    // Start from a clean queue: a replay, or a source that last played a
    // buffer, may still hold buffers OpenAL would refuse to queue twice.
    SFXClearError();
    alSourceStop(source_);
    SFXCheckLastCall();
    SFXClearError();
    alSourcei(source_, AL_BUFFER, 0);
    SFXCheckLastCall();
    finished_ = false;
    draining_ = false;
    uint32_t primed = stream_->Seek(0.0);
    if (primed == 0) {
      finished_ = true;  // nothing to play
      return;
    }
    SFXClearError();
    alSourceQueueBuffers(source_, static_cast<ALsizei>(primed), stream_->GetBuffers());
    SFXCheckLastCall();
    SFXPrintf("SFX Play stream source (%d)", static_cast<int>(source_));
  }
  SFXClearError();
  alSourcePlay(source_);
  SFXCheckLastCall();
}

void CSFXSource::UnqueueAll() {
  ALint queued = 0;
  SFXClearError();
  alGetSourcei(source_, AL_BUFFERS_QUEUED, &queued);
  SFXCheckLastCall();
  for (ALint i = 0; i < queued; ++i) {
    ALuint buffer = 0;
    SFXClearError();
    alSourceUnqueueBuffers(source_, 1, &buffer);
    SFXCheckLastCall();
  }
}

void CSFXSource::Stop() {
  if (!active_) return;
  SFXClearError();
  alSourceStop(source_);
  SFXCheckLastCall();
  if (stream_ != nullptr) {
    UnqueueAll();
    finished_ = true;
    draining_ = false;
  }
}

void CSFXSource::UpdateStream() {
  if (!active_ || stream_ == nullptr || finished_) return;
  if (draining_) {
    // The decoder is done: once the last queued buffer has played, end.
    if (!IsPlaying()) Stop();
    return;
  }
  ALint processed = 0;
  SFXClearError();
  alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
  SFXCheckLastCall();
  if (processed > 0) {
    SFXPrintf("SFX Source (%d) processed (%d) buffers", static_cast<int>(source_), static_cast<int>(processed));
  }
  for (ALint i = 0; i < processed; ++i) {
    ALuint buffer = 0;
    SFXClearError();
    alSourceUnqueueBuffers(source_, 1, &buffer);
    if (!SFXCheckLastCall()) break;
    stream_->SetCurrentBuffer(buffer);
    if (!stream_->FillBuffer()) {
      // The music does not loop here; let what is still queued play out.
      draining_ = true;
      break;
    }
    SFXClearError();
    alSourceQueueBuffers(source_, 1, &buffer);
    SFXCheckLastCall();
  }
  // A source that ran dry stopped; restart it on the fresh data just queued
  // (restarting first would replay the buffers it had already played).
  if (!draining_ && !IsPlaying()) {
    SFXPrintf("SFX Restarting stream source (%d)", static_cast<int>(source_));
    SFXClearError();
    alSourcePlay(source_);
    SFXCheckLastCall();
  }
}
