#pragma once
// The terminal line for a file of game data that could not be loaded, so
// that a placeholder stands in for it. The program carries on; the player
// learns which file of the install is missing or damaged. A file asked for
// again and again (a texture reloaded with the display, a sound of every
// game) is named once for the run.

// Warns (log and terminal) "Cannot load <path> (<reason>); the game goes on
// without it", the first time for this path only.
void WarnPlaceholder(const char* path, const char* reason);
