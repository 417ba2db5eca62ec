#include "content/game/Credits.h"

#include "content/game/GameDataNames.h"

namespace {

// Every line carries its marker: the credits screen skips unmarked lines.
const char* const kLines[] = {
    "<TITLE>Novaliths",
    "<TEXT>A Velk Software Studio game",
    "<SPACE>",
    "<RULE>",
    "<SPACE>",
    "<TITLE>Game Design",
    "<TEXT>The Novaliths team",
    "<SPACE>",
    "<TITLE>Programming",
    "<TEXT>Game and engine: the Velk Software Studio developers",
    "<TEXT>Vyre real-time 3D engine",
    "<TEXT>Collision and rigid-body physics library",
    "<SPACE>",
    "<TITLE>Art",
    "<TEXT>Gems, constellations and screens",
    "<TEXT>made by the game's own data generator",
    "<SPACE>",
    "<TITLE>Sound and Music",
    "<TEXT>Synthesised effects, stings and the VelkBeat track",
    "<SPACE>",
    "<TITLE>Testing",
    "<TEXT>The Velk Software Studio team",
    "<SPACE>",
    "<RULE>",
    "<SPACE>",
    "<TITLE>Built With",
    "<TEXT>SDL2",
    "<TEXT>OpenGL through Mesa",
    "<TEXT>OpenAL Soft",
    "<TEXT>Ogg and Vorbis audio codecs (Xiph.Org)",
    "<TEXT>libpng and zlib",
    "<TEXT>FreeType and Fontconfig",
    "<TEXT>GoogleTest and Google Benchmark",
    "<SPACE>",
    "<TITLE>Fonts",
    "<TEXT>DejaVu Sans and DejaVu Sans Bold",
    "<TEXT>(Bitstream Vera derived, DejaVu fonts licence)",
    "<SPACE>",
    "<RULE>",
    "<SPACE>",
    "<TITLE>Thank You For Playing",
    "<TEXT>Velk Software Studio",
};

}  // namespace

std::string CreditsText() {
  std::string text;
  for (const char* line : kLines) text += std::string(line) + "\n";
  return text;
}

void WriteCredits(DataFolder& folder) { folder.Text(gamedata::kCredits, CreditsText()); }
