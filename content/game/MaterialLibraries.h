#pragma once
// The game's material libraries: the gem crystals, the backdrop, the special
// effects, the drop marker and the achievement icon.

#include "content/kit/DataFolder.h"

void WriteMaterialLibraries(DataFolder& folder);
