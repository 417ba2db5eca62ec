#pragma once
// The game's synthesised sound effects (16-bit mono at 22050 Hz once
// encoded), the short musical stings of the menus and the game-over screen,
// and the music track (both stereo at 44100 Hz).

#include <string>

#include "content/kit/DataFolder.h"
#include "content/kit/Synth.h"

inline constexpr int kEffectRate = 22050;
inline constexpr int kMusicRate = 44100;

// The effect of one name of the game's sound table (the file's base name).
SoundMix EffectSound(const std::string& name);
// Sting 1 to 6 of the front end or, with gameOver, of the game-over screen.
SoundMix StingSound(int number, bool gameOver);
// The unstable star's loop lasts a whole number of its pulses.
inline constexpr float kUnstablePulseSeconds = 0.25f;
inline constexpr int kUnstablePulses = 8;

void WriteSounds(DataFolder& folder);
