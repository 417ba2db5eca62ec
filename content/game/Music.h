#pragma once
// The game's music track: a calm piece of pads, arpeggios and soft
// percussion, about ninety seconds long (the audio layer restarts it a few
// seconds after it ends).

#include "content/kit/Synth.h"

inline constexpr float kMusicSeconds = 90.0f;

SoundMix MusicTrack();
