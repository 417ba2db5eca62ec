#pragma once

// The lines of the Challenge's text files (the constellation list and the
// constellations' definitions): read with a bound, searched for their keys,
// and the names they give trimmed.

#include <cstddef>

#include "engine/foundation/String.h"

class File;

// Longer lines are cut; the rest of such a line is skipped, not read as a
// line of its own.
inline constexpr size_t kChallengeLineCapacity = 512;
// Names are cut to this many characters (the readers' scan widths say it too).
inline constexpr size_t kChallengeNameCapacity = 256;

// Reads the next line into buffer; false at the end of the file.
bool ReadChallengeLine(File& file, char (&buffer)[kChallengeLineCapacity]);
// True when the key stands anywhere in the line.
bool HasKey(const char* line, const char* key);
// A name read to the end of its line, without trailing blanks or CR, so a
// CRLF file names the same boards, images and HUD text.
String TrimmedName(const char* scanned);
