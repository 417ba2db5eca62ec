#include "content/game/GameSounds.h"

#include <cmath>
#include <filesystem>

#include "content/game/GameDataNames.h"
#include "content/game/Music.h"
#include "content/kit/Noise.h"
#include "content/kit/OggWriter.h"

namespace {

constexpr float kEffectQuality = 0.4f;
constexpr float kMusicQuality = 0.3f;

SoundMix Placement() {
  SoundMix sound(kEffectRate, 1, 0.3f);
  sound.Add(0.0f, Tone(kEffectRate, 0.25f, 260.0f, 170.0f, Wave::kSine, {0.002f, 0.05f}), 1.0f);
  sound.Add(0.0f, Noise(kEffectRate, 0.04f, 1500.0f, 6000.0f, 1u, {0.001f, 0.008f}), 0.4f);
  return sound;
}

SoundMix Chink() {
  SoundMix sound(kEffectRate, 1, 0.5f);
  sound.Add(0.0f, Bell(kEffectRate, 0.45f, 2350.0f, 2.76f, 1.5f, {0.001f, 0.09f}), 1.0f);
  sound.Add(0.01f, Bell(kEffectRate, 0.35f, 3610.0f, 1.41f, 0.8f, {0.001f, 0.06f}), 0.5f);
  return sound;
}

// Glass breaking: a bright noise burst and splinters of inharmonic bells.
SoundMix Shatter(float pitch, float seconds, uint32_t seed) {
  SoundMix sound(kEffectRate, 1, seconds);
  sound.Add(0.0f, Noise(kEffectRate, seconds * 0.6f, 2000.0f * pitch, 9000.0f, seed, {0.001f, 0.08f}), 0.8f);
  SeededRandom random(seed);
  for (int i = 0; i < 7; ++i) {
    const float start = random.Range(0.0f, seconds * 0.35f);
    const float hz = pitch * random.Range(1800.0f, 4200.0f);
    sound.Add(start, Bell(kEffectRate, seconds - start, hz, random.Range(1.3f, 3.1f), 1.2f, {0.001f, 0.12f}), 0.35f);
  }
  return sound;
}

SoundMix Grow() {
  SoundMix sound(kEffectRate, 1, 1.6f);
  sound.Add(0.0f, Tone(kEffectRate, 1.5f, 330.0f, 990.0f, Wave::kTriangle, {0.6f, 0.5f}), 0.5f);
  for (int i = 0; i < 6; ++i) {
    sound.Add(0.2f * float(i), Bell(kEffectRate, 0.6f, NoteHz(7 + 2 * i), 2.0f, 0.7f, {0.002f, 0.2f}), 0.35f);
  }
  return sound;
}

SoundMix Explode() {
  SoundMix sound(kEffectRate, 1, 2.6f);
  sound.Add(0.0f, Noise(kEffectRate, 2.5f, 30.0f, 900.0f, 7u, {0.003f, 0.6f}), 1.0f);
  sound.Add(0.0f, Tone(kEffectRate, 1.8f, 90.0f, 28.0f, Wave::kSine, {0.002f, 0.5f}), 0.9f);
  sound.Add(0.05f, Shatter(0.8f, 1.2f, 8u).channels[0], 0.4f);
  return sound;
}

// A throbbing drone for as long as the star is unstable: every frequency in
// it fits a whole number of cycles into the loop, so the loop joins without
// a click (and it has no fade at either end).
SoundMix Unstable() {
  const float seconds = kUnstablePulseSeconds * kUnstablePulses;
  SoundMix sound(kEffectRate, 1, seconds);
  constexpr float kTwoPi = 6.28318530718f;
  Signal& out = sound.channels[0];
  for (size_t i = 0; i < out.size(); ++i) {
    const float t = float(i) / float(kEffectRate);
    const float pulse = 0.5f - 0.5f * std::cos(kTwoPi * t / kUnstablePulseSeconds);
    const float drone =
        std::sin(kTwoPi * 110.0f * t) + 0.5f * std::sin(kTwoPi * 165.0f * t) + 0.25f * std::sin(kTwoPi * 222.0f * t);
    out[i] = drone * (0.25f + 0.75f * pulse * pulse);
  }
  return sound;
}

SoundMix Collapse() {
  SoundMix sound(kEffectRate, 1, 2.1f);
  sound.Add(0.0f, Tone(kEffectRate, 2.0f, 880.0f, 55.0f, Wave::kTriangle, {0.01f, 0.9f}), 0.7f);
  sound.Add(0.0f, Noise(kEffectRate, 2.0f, 80.0f, 2500.0f, 9u, {0.3f, 0.6f}), 0.4f);
  return sound;
}

// A rising run of bells, one note after another.
SoundMix Arpeggio(const std::vector<int>& notes, float step, float ring, float seconds) {
  SoundMix sound(kEffectRate, 1, seconds);
  for (size_t i = 0; i < notes.size(); ++i) {
    sound.Add(step * float(i), Bell(kEffectRate, ring, NoteHz(notes[i]), 2.0f, 1.0f, {0.002f, ring * 0.35f}), 0.5f);
  }
  return sound;
}

SoundMix Chime() {
  SoundMix sound(kEffectRate, 1, 1.6f);
  sound.Add(0.0f, Bell(kEffectRate, 1.6f, 880.0f, 3.5f, 1.8f, {0.002f, 0.5f}), 0.8f);
  sound.Add(0.0f, Bell(kEffectRate, 1.6f, 1760.0f, 1.5f, 0.5f, {0.002f, 0.3f}), 0.3f);
  return sound;
}

SoundMix Expired() {
  SoundMix sound(kEffectRate, 1, 1.3f);
  for (int i = 0; i < 3; ++i) {
    sound.Add(0.4f * float(i), Tone(kEffectRate, 0.3f, 494.0f, 370.0f, Wave::kSoftSquare, {0.005f, 0.2f}), 0.6f);
  }
  return sound;
}

}  // namespace

SoundMix EffectSound(const std::string& name) {
  SoundMix sound(kEffectRate, 1, 0.1f);
  if (name == "GemPlacement")
    sound = Placement();
  else if (name == "GemChink01")
    sound = Chink();
  else if (name == "GemBreak06")
    sound = Shatter(1.0f, 0.7f, 6u);
  else if (name == "GemBreak08")
    sound = Shatter(0.7f, 0.9f, 8u);
  else if (name == "GrowNovalith")
    sound = Grow();
  else if (name == "ExplodeNovalith")
    sound = Explode();
  else if (name == "UnstableNovalith")
    sound = Unstable();
  else if (name == "CollapseNovalith")
    sound = Collapse();
  else if (name == "Achievement")
    sound = Arpeggio({3, 7, 10, 15}, 0.09f, 0.9f, 1.3f);
  else if (name == "RainbowAward")
    sound = Arpeggio({3, 5, 7, 8, 10, 12, 14, 15}, 0.11f, 0.9f, 1.9f);
  else if (name == "ClockChime")
    sound = Chime();
  else if (name == "TimerExpired")
    sound = Expired();
  sound.Normalise(0.8f);
  return sound;
}

SoundMix StingSound(int number, bool gameOver) {
  // Front-end stings rise in a bright major key; game-over stings fall in a
  // minor one. Each of the six takes its own chord and figure.
  static const int kMajorChords[6][3] = {{0, 4, 7}, {5, 9, 12}, {7, 11, 14}, {-3, 0, 4}, {2, 5, 9}, {0, 4, 9}};
  static const int kMinorChords[6][3] = {{0, 3, 7}, {-4, 0, 3}, {-2, 2, 5}, {-5, -2, 2}, {-7, -4, 0}, {0, 3, 8}};
  const int index = (number - 1 + 6) % 6;
  const int* chord = gameOver ? kMinorChords[index] : kMajorChords[index];
  const int root = gameOver ? -9 : 3;  // C4, or C5 for the brighter stings
  SoundMix sound(kMusicRate, 2, 3.0f);
  for (int k = 0; k < 3; ++k) {
    sound.Add(0.0f, Pad(kMusicRate, 2.9f, NoteHz(root + chord[k] - 12), 0.3f, 1.5f), 0.25f, float(k - 1) * 0.4f);
  }
  for (int step = 0; step < 6; ++step) {
    const int k = gameOver ? 2 - step % 3 : step % 3;
    const int note = root + chord[k] + (step >= 3 ? (gameOver ? -12 : 12) : 0);
    sound.Add(0.14f * float(step), Bell(kMusicRate, 1.4f, NoteHz(note), 2.0f, 0.9f, {0.003f, 0.45f}), 0.35f,
              step % 2 == 0 ? -0.5f : 0.5f);
  }
  sound.Normalise(0.7f);
  return sound;
}

void WriteSounds(DataFolder& folder) {
  auto write = [&](const std::string& name, const SoundMix& sound, float quality) {
    const std::vector<uint8_t> bytes = EncodeOggVorbis(sound, quality);
    if (bytes.empty()) {
      folder.Fail();
      return;
    }
    folder.Bytes(name, bytes);
  };
  for (const char* path : gamedata::kEffectSounds) {
    write(path, EffectSound(std::filesystem::path(path).stem()), kEffectQuality);
  }
  for (size_t folderIndex = 0; folderIndex < gamedata::kStingFolders.size(); ++folderIndex) {
    for (int number = 1; number <= gamedata::kStingsPerFolder; ++number) {
      const std::string name =
          std::string(gamedata::kStingFolders[folderIndex]) + "/Phrase" + std::to_string(number) + ".ogg";
      write(name, StingSound(number, folderIndex == 1), kEffectQuality);
    }
  }
  write(gamedata::kMusic, MusicTrack(), kMusicQuality);
}
