#pragma once

// The front end's text drawn with the game's eight glyph fonts.

#include <memory>

#include "game/shell/FrontEndCanvas.h"

// Null while the game has no glyph fonts.
std::unique_ptr<FrontEndCanvas> CreateGlyphCanvas();
