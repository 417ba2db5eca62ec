#pragma once
// A small synthesiser for the game's sounds and music: notes are rendered as
// mono signals (tones, FM bells, filtered noise, each under an envelope) and
// mixed into a sound of one or two channels.

#include <cstddef>
#include <cstdint>
#include <vector>

using Signal = std::vector<float>;

// A linear rise over `attack` seconds, then an exponential fall with time
// constant `decay` (0: hold at full level); every signal also fades out over
// its last few milliseconds so it never ends in a click.
struct Envelope {
  float attack = 0.005f;
  float decay = 0.0f;
  float Level(float t) const;
};

enum class Wave { kSine, kTriangle, kSoftSquare };

// A tone gliding exponentially from one frequency to another.
Signal Tone(int rate, float seconds, float startHz, float endHz, Wave wave, const Envelope& envelope);
// A bell: a sine carrier frequency-modulated at a ratio of it, the
// modulation dying away faster than the note.
Signal Bell(int rate, float seconds, float hz, float ratio, float index, const Envelope& envelope);
// Seeded noise through a band-pass (low and high cut-offs in hertz).
Signal Noise(int rate, float seconds, float lowHz, float highHz, uint32_t seed, const Envelope& envelope);
// A note for pads: a few slightly detuned sines, softly rising and falling.
Signal Pad(int rate, float seconds, float hz, float attack, float release);

// A sound being mixed: one or two channels of samples at one rate.
struct SoundMix {
  SoundMix(int sampleRate, int channelCount, float seconds);
  size_t Frames() const { return channels.empty() ? 0 : channels[0].size(); }
  // Adds a signal starting at a time, with a gain and a pan from -1 (left)
  // to 1 (right); what runs past the end is cut.
  void Add(float startSeconds, const Signal& signal, float gain, float pan = 0.0f);
  // Scales the sound so its loudest sample has the given level.
  void Normalise(float peak);

  int rate;
  std::vector<Signal> channels;
};

// The frequency of a note, in semitones from A4 (440 Hz).
float NoteHz(int semitonesFromA4);
