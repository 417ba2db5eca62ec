// Ogg Vorbis tones through the game data's encoder.

#include "OggTone.h"

#include <cmath>

#include "content/kit/OggWriter.h"
#include "content/kit/PngWriter.h"

bool WriteOggTone(const std::string& path, int channels, long rate, long frames) {
  SoundMix tone(static_cast<int>(rate), channels, 0.0f);
  Signal samples(static_cast<size_t>(frames));
  for (long i = 0; i < frames; ++i) {
    samples[static_cast<size_t>(i)] = 0.5f * static_cast<float>(std::sin(6.283185307179586 * 440.0 * i / rate));
  }
  tone.channels.assign(static_cast<size_t>(channels), samples);
  const std::vector<uint8_t> bytes = EncodeOggVorbis(tone, 0.1f);
  return !bytes.empty() && WriteBytes(path, bytes);
}
