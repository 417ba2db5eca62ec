#include "game/shell/GlyphCanvas.h"

std::unique_ptr<FrontEndCanvas> CreateGlyphCanvas() { return nullptr; }
