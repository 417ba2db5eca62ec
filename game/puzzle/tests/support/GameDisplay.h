#pragma once

// The program's display (a hidden offscreen window with the renderer's GL
// back end started) given to a game, so that the game draws as it does in
// the program: for device tests that play or draw with the game's data.

class CDisplay;
class Game;

namespace puzzle_test {

// Opens the program's display at the size and hands it to the game (a
// failed assertion when it cannot draw); returns the display.
CDisplay* OpenGameDisplay(Game& game, int width, int height);
// After the game is gone: releases what drawing made while the context
// lives (models, fonts, materials, textures), then the window.
void CloseGameDisplay();
// What the frame's loading step loads: queued models, stage textures, textures.
void LoadQueuedResources();

}  // namespace puzzle_test
