#pragma once
// Writes the game's own data under a run folder: models, material libraries
// and their pictures, screens, glyph sheets, fonts, constellations, credits,
// sounds and music. Every file is made by this program from fixed seeds, so
// two generations give the same bytes.

#include <string>

// fontFolder holds DejaVuSans.ttf and DejaVuSans-Bold.ttf; false when any
// file could not be made (each failure is reported on stderr).
bool MakeGameData(const std::string& runFolder, const std::string& fontFolder);
