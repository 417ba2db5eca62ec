#include "content/game/Music.h"

#include <algorithm>
#include <map>

#include "content/game/GameSounds.h"

namespace {

constexpr float kBeat = 60.0f / 96.0f;  // 96 beats a minute
constexpr float kBar = 4.0f * kBeat;
constexpr int kBars = 36;  // 90 seconds
constexpr int kBarsPerChord = 2;

// A minor, F, C and G, as semitones from A4: root, third, fifth.
constexpr int kChords[4][3] = {{0, 3, 7}, {-4, 0, 3}, {3, 7, 10}, {-2, 2, 5}};

// The track repeats its four chords and its drum sounds: each note is
// rendered once and mixed wherever it plays.
struct Instruments {
  Instruments() {
    for (int chord = 0; chord < 4; ++chord) {
      for (int k = 0; k < 3; ++k) {
        pads[chord][k] = Pad(kMusicRate, kBar * kBarsPerChord + 0.6f, NoteHz(kChords[chord][k] - 12), 1.2f, 1.6f);
      }
      const float bassHz = NoteHz(kChords[chord][0] - 24);
      bass[chord] = Tone(kMusicRate, kBar * kBarsPerChord, bassHz, bassHz, Wave::kSine, {0.08f, 2.5f});
    }
    kick = Tone(kMusicRate, 0.3f, 110.0f, 42.0f, Wave::kSine, {0.002f, 0.09f});
    for (uint32_t i = 0; i < 4; ++i) {
      snares[i] = Noise(kMusicRate, 0.2f, 700.0f, 3500.0f, 100u + i, {0.002f, 0.05f});
      hats[i] = Noise(kMusicRate, 0.06f, 6000.0f, 14000.0f, 200u + i, {0.001f, 0.015f});
    }
  }
  const Signal& Pluck(int note) {
    auto found = plucks.find(note);
    if (found == plucks.end()) {
      found = plucks.emplace(note, Bell(kMusicRate, 0.7f, NoteHz(note), 2.0f, 0.6f, {0.004f, 0.22f})).first;
    }
    return found->second;
  }

  Signal pads[4][3];
  Signal bass[4];
  Signal kick;
  Signal snares[4];
  Signal hats[4];
  std::map<int, Signal> plucks;
};

void AddPads(SoundMix& track, Instruments& instruments, int bar, int chord) {
  const float start = float(bar) * kBar;
  for (int k = 0; k < 3; ++k) track.Add(start, instruments.pads[chord][k], 0.16f, float(k - 1) * 0.5f);
  track.Add(start, instruments.bass[chord], 0.28f);
}

void AddArpeggio(SoundMix& track, Instruments& instruments, int bar, int chord) {
  // Eighth notes up and down the chord over two octaves.
  static const int kFigure[8][2] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 1}, {2, 0}, {1, 0}};
  for (int step = 0; step < 8; ++step) {
    const int note = kChords[chord][kFigure[step][0]] + 12 * kFigure[step][1];
    track.Add(float(bar) * kBar + float(step) * kBeat / 2.0f, instruments.Pluck(note), 0.09f,
              step % 2 == 0 ? -0.35f : 0.35f);
  }
}

void AddPercussion(SoundMix& track, const Instruments& instruments, int bar) {
  const float start = float(bar) * kBar;
  for (int beat = 0; beat < 4; ++beat) {
    const float at = start + float(beat) * kBeat;
    const size_t variant = size_t(bar + beat) % 4;
    if (beat % 2 == 0)
      track.Add(at, instruments.kick, 0.45f);
    else
      track.Add(at, instruments.snares[variant], 0.12f);
    track.Add(at + kBeat / 2.0f, instruments.hats[variant], 0.07f, 0.3f);
  }
}

}  // namespace

SoundMix MusicTrack() {
  SoundMix track(kMusicRate, 2, kMusicSeconds);
  Instruments instruments;
  for (int bar = 0; bar < kBars; bar += kBarsPerChord) {
    const int chord = (bar / kBarsPerChord) % 4;
    AddPads(track, instruments, bar, chord);
    // Four bars of pads alone, then the arpeggio; the drums join at bar 8
    // and everything but the pads leaves for the last four bars.
    for (int b = bar; b < bar + kBarsPerChord; ++b) {
      if (b >= 4 && b < kBars - 4) AddArpeggio(track, instruments, b, chord);
      if (b >= 8 && b < kBars - 4) AddPercussion(track, instruments, b);
    }
  }
  // Fade in over two seconds and out over the last six.
  for (Signal& channel : track.channels) {
    for (size_t i = 0; i < channel.size(); ++i) {
      const float t = float(i) / float(kMusicRate);
      channel[i] *= std::min({1.0f, t / 2.0f, (kMusicSeconds - t) / 6.0f});
    }
  }
  track.Normalise(0.75f);
  return track;
}
