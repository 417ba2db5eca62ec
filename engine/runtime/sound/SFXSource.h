#pragma once
// One OpenAL source that plays either a decoded buffer or a stream.

#include <cstdint>

#include "engine/foundation/Vector3.h"

class CSFXBuffer;
class CSFXStream;

class CSFXSource {
 public:
  // Generates the OpenAL source, non-positional: relative to the listener,
  // no roll-off. On failure logs "Starving for sources!" and stays inactive.
  CSFXSource();
  // Stops, detaches and deletes the OpenAL source.
  virtual ~CSFXSource();

  // Attaches a buffer (null detaches); the source is active when it has an
  // OpenAL source and the element last attached is not null.
  void SetBuffer(CSFXBuffer* buffer);
  void SetStream(CSFXStream* stream);
  // Stores gain clamped to 0..1 and applies it.
  void SetGain(float gain);
  // Applies gain x the stored gain without storing it.
  void ApplyGain(float gain);
  bool IsPlaying() const;
  void SetLooping(bool looping);
  void Pause();
  void Rewind();
  void SetPosition(const Vector3& position);
  void SetVelocity(const Vector3& velocity);
  // Active and attached to that element.
  bool UsesBuffer(const CSFXBuffer* buffer) const;
  bool UsesStream(const CSFXStream* stream) const;
  // Plays the buffer, or rewinds the stream, primes its queue and plays it.
  void Play();
  // Stops; a stream's queue is emptied and the source marked finished.
  void Stop();
  // Keeps a playing stream fed: refills processed buffers, restarts a starved
  // source, and stops once the stream has ended and its last buffer played.
  void UpdateStream();

  uint32_t GetALSource() const { return source_; }
  bool HasALSource() const { return source_ != 0; }
  bool IsActive() const { return active_; }
  bool IsFinished() const { return finished_; }
  float GetGain() const { return gain_; }
  CSFXBuffer* GetBuffer() const { return buffer_; }
  CSFXStream* GetStream() const { return stream_; }
  bool IsReserved() const { return reserved_; }
  // A reserved source is never handed out as free.
  void SetReserved(bool reserved) { reserved_ = reserved; }

 private:
  void UnqueueAll();

  uint32_t source_ = 0;
  CSFXBuffer* buffer_ = nullptr;
  CSFXStream* stream_ = nullptr;
  bool active_ = false;
  float gain_ = 1.0f;
  bool reserved_ = false;
  bool finished_ = false;
  bool draining_ = false;  // the stream has no more data; the queue plays out
};
