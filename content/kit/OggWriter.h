#pragma once
// Ogg Vorbis files of synthesised sounds, through libvorbisenc.

#include <cstdint>
#include <vector>

#include "content/kit/Synth.h"

// The file's bytes; empty when the encoder refused. The stream's serial
// number is fixed, so the same sound always gives the same bytes.
std::vector<uint8_t> EncodeOggVorbis(const SoundMix& sound, float quality);
