#include "FakeAudioSound.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace shell_test {

namespace {

FakeAudioSound::Source nowhere;

}  // namespace

int FakeAudioSound::LoadBuffer(const String& fileName) {
  loads.push_back(std::string("buffer:") + fileName.Chars());
  return failing.count(fileName.Chars()) ? -1 : nextBuffer_++;
}

int FakeAudioSound::OpenStream(const String& fileName) {
  loads.push_back(std::string("stream:") + fileName.Chars());
  return failing.count(fileName.Chars()) ? -1 : nextStream_++;
}

int FakeAudioSound::GetFreeSource() {
  for (size_t i = 0; i < sources.size(); ++i) {
    if (!sources[i].reserved && !sources[i].playing) return static_cast<int>(i);
  }
  if (static_cast<int>(sources.size()) >= sourceLimit) return -1;
  sources.emplace_back();
  return static_cast<int>(sources.size()) - 1;
}

FakeAudioSound::Source& FakeAudioSound::At(int source) {
  if (source < 0 || source >= static_cast<int>(sources.size())) {
    ADD_FAILURE() << "source " << source << " does not exist";
    nowhere = Source{};
    return nowhere;
  }
  return sources[static_cast<size_t>(source)];
}

void FakeAudioSound::SetSourceReserved(int source, bool reserved) { At(source).reserved = reserved; }
void FakeAudioSound::SetSourceBaseGain(int source, float gain) { At(source).storedGain = std::clamp(gain, 0.0f, 1.0f); }
void FakeAudioSound::BindSourceBuffer(int source, int buffer) {
  At(source).buffer = buffer;
  At(source).stream = -1;
}
void FakeAudioSound::AttachStream(int source, int stream) {
  At(source).stream = stream;
  At(source).buffer = -1;
}
void FakeAudioSound::SetSourceLooping(int source, bool looping) { At(source).looping = looping; }

void FakeAudioSound::SetSourceGain(int source, float gain) {
  Source& s = At(source);
  s.appliedGain = gain * masterVolume * s.storedGain;
}

void FakeAudioSound::PlaySource(int source, float gain) {
  Source& s = At(source);
  s.storedGain = std::clamp(gain, 0.0f, 1.0f);
  s.playing = true;
  ++s.plays;
}

bool FakeAudioSound::IsSourcePlaying(int source) {
  return source >= 0 && source < static_cast<int>(sources.size()) && sources[static_cast<size_t>(source)].playing;
}

void FakeAudioSound::StopSource(int source) {
  ++stopCalls;
  At(source).playing = false;
}

std::vector<int> FakeAudioSound::Playing() const {
  std::vector<int> playing;
  for (size_t i = 0; i < sources.size(); ++i) {
    if (sources[i].playing) playing.push_back(static_cast<int>(i));
  }
  return playing;
}

int FakeAudioSound::PlayingBuffer(int buffer) const {
  for (size_t i = 0; i < sources.size(); ++i) {
    if (sources[i].playing && sources[i].buffer == buffer) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace shell_test
