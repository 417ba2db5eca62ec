#pragma once
// Whether the program was started where its game data is. Without it every
// screen would run on placeholders and say nothing: the program must rather
// tell the player, before it opens a window.

// The folder the game data is read from, relative to the working directory.
inline constexpr const char* kGameDataFolder = "Resources";

// True when the working directory holds the game data: the "Resources"
// folder, with loose files or the archive "Resources/Vyre.cab", and the
// program can read it. Otherwise says on the terminal that the game data is
// missing and which folder was searched, or which folder cannot be read and
// the system's reason, and returns false.
bool GameDataFound();
