#pragma once
// Ogg Vorbis files of game data, opened for the decoder as every file of
// game data is opened: a regular file only, never waited on. The decoder
// reads, seeks and tells through the stream and never closes it; its owner
// closes it after ov_clear.

#include <vorbis/vorbisfile.h>

#include <cstdio>

// How the opening of an Ogg file went.
enum class OggOpen { kOpened, kNoFile, kNotDecoded };

// Opens the named file and the decoder on it. kOpened hands over the open
// stream in outFile (the decoder holds it until ov_clear); on kNoFile and
// kNotDecoded outFile is null and the decoder must not be read or cleared.
OggOpen OpenOggFile(const char* name, OggVorbis_File& decoder, FILE*& outFile);
