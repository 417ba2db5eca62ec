#pragma once

// The front end's text drawn with the game's eight glyph fonts, its quads
// with the renderer.

#include <memory>

#include "game/shell/FrontEndCanvas.h"

std::unique_ptr<FrontEndCanvas> CreateGlyphCanvas();
