#include "content/kit/Synth.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "content/kit/Noise.h"

namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr float kEndFade = 0.004f;  // seconds

// Sine of a phase in turns, from a table: the music alone takes tens of
// millions of sines, and the table keeps generation quick in every build.
class SineTable {
 public:
  SineTable() {
    for (int i = 0; i <= kSize; ++i) values_[size_t(i)] = float(std::sin(6.283185307179586 * i / kSize));
  }
  float operator()(float turns) const {
    const float position = (turns - std::floor(turns)) * float(kSize);
    const int index = std::min(int(position), kSize - 1);
    const float fraction = position - float(index);
    return values_[size_t(index)] + (values_[size_t(index) + 1] - values_[size_t(index)]) * fraction;
  }

 private:
  static constexpr int kSize = 4096;
  std::array<float, kSize + 1> values_{};
};

const SineTable& Sine() {
  static const SineTable table;
  return table;
}

float WaveValue(Wave wave, float phase) {
  switch (wave) {
    case Wave::kTriangle:
      return 1.0f - 4.0f * std::fabs(phase - std::floor(phase + 0.5f));
    case Wave::kSoftSquare:
      return std::tanh(3.0f * Sine()(phase));
    case Wave::kSine:
    default:
      return Sine()(phase);
  }
}

// The envelope with the end fade of a signal of that length.
float Shape(const Envelope& envelope, float t, float seconds) {
  return envelope.Level(t) * std::clamp((seconds - t) / kEndFade, 0.0f, 1.0f);
}

}  // namespace

float Envelope::Level(float t) const {
  if (t < attack) return t / attack;
  return decay > 0.0f ? std::exp(-(t - attack) / decay) : 1.0f;
}

Signal Tone(int rate, float seconds, float startHz, float endHz, Wave wave, const Envelope& envelope) {
  Signal out(size_t(seconds * float(rate)));
  double phase = 0.0;
  const float ratio = std::log(endHz / startHz);
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = float(i) / float(rate);
    const float hz = startHz * std::exp(ratio * t / seconds);
    out[i] = WaveValue(wave, float(phase)) * Shape(envelope, t, seconds);
    phase += double(hz) / rate;
    phase -= std::floor(phase);
  }
  return out;
}

Signal Bell(int rate, float seconds, float hz, float ratio, float index, const Envelope& envelope) {
  Signal out(size_t(seconds * float(rate)));
  const float modulationDecay = envelope.decay > 0.0f ? envelope.decay * 0.4f : 0.3f;
  // Phases in turns, kept small so a float keeps their precision.
  double carrier = 0.0, modulator = 0.0;
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = float(i) / float(rate);
    const float modulation = index * std::exp(-t / modulationDecay) * Sine()(float(modulator));
    out[i] = Sine()(float(carrier) + modulation / kTwoPi) * Shape(envelope, t, seconds);
    carrier += double(hz) / rate;
    modulator += double(hz * ratio) / rate;
    carrier -= std::floor(carrier);
    modulator -= std::floor(modulator);
  }
  return out;
}

Signal Noise(int rate, float seconds, float lowHz, float highHz, uint32_t seed, const Envelope& envelope) {
  Signal out(size_t(seconds * float(rate)));
  SeededRandom random(seed);
  // One-pole high-pass then low-pass, twice each, for a gentle band.
  const float dt = 1.0f / float(rate);
  const float highAlpha = 1.0f / (1.0f + kTwoPi * lowHz * dt);
  const float lowAlpha = (kTwoPi * highHz * dt) / (1.0f + kTwoPi * highHz * dt);
  float lastIn[2] = {0, 0}, high[2] = {0, 0}, low[2] = {0, 0};
  for (size_t i = 0; i < out.size(); ++i) {
    float value = random.Range(-1.0f, 1.0f);
    for (int stage = 0; stage < 2; ++stage) {
      high[stage] = highAlpha * (high[stage] + value - lastIn[stage]);
      lastIn[stage] = value;
      low[stage] += lowAlpha * (high[stage] - low[stage]);
      value = low[stage];
    }
    out[i] = value * Shape(envelope, float(i) * dt, seconds);
  }
  return out;
}

Signal Pad(int rate, float seconds, float hz, float attack, float release) {
  Signal out(size_t(seconds * float(rate)));
  // Three slightly detuned sines and a quiet octave above for some air.
  const float ratios[4] = {1.0f, 1.003f, 0.997f, 2.0f};
  const float weights[4] = {0.5f, 0.3f, 0.3f, 0.12f};
  double phases[4] = {0.0, 0.0, 0.0, 0.0};
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = float(i) / float(rate);
    const float level = std::min({1.0f, t / attack, std::max(0.0f, (seconds - t) / release)});
    float value = 0.0f;
    for (int k = 0; k < 4; ++k) {
      value += weights[k] * Sine()(float(phases[k]));
      phases[k] += double(hz * ratios[k]) / rate;
      phases[k] -= std::floor(phases[k]);
    }
    out[i] = value * level * level;
  }
  return out;
}

SoundMix::SoundMix(int sampleRate, int channelCount, float seconds)
    : rate(sampleRate), channels(size_t(channelCount), Signal(size_t(seconds * float(sampleRate)), 0.0f)) {}

void SoundMix::Add(float startSeconds, const Signal& signal, float gain, float pan) {
  const size_t start = size_t(std::max(0.0f, startSeconds) * float(rate));
  // Equal-power pan over two channels; one channel takes the signal whole.
  const float angle = (std::clamp(pan, -1.0f, 1.0f) + 1.0f) * 0.25f * 3.14159265f;
  const float gains[2] = {channels.size() == 1 ? 1.0f : std::cos(angle), std::sin(angle)};
  for (size_t c = 0; c < channels.size(); ++c) {
    Signal& channel = channels[c];
    const float g = gain * gains[c];
    for (size_t i = 0; i < signal.size() && start + i < channel.size(); ++i) channel[start + i] += signal[i] * g;
  }
}

void SoundMix::Normalise(float peak) {
  float loudest = 0.0f;
  for (const Signal& channel : channels) {
    for (float s : channel) loudest = std::max(loudest, std::fabs(s));
  }
  if (loudest <= 0.0f) return;
  const float scale = peak / loudest;
  for (Signal& channel : channels) {
    for (float& s : channel) s *= scale;
  }
}

float NoteHz(int semitonesFromA4) { return 440.0f * std::pow(2.0f, float(semitonesFromA4) / 12.0f); }
