#pragma once
// The credits text: the project's own roles and the open libraries and fonts
// the game is built with, one marked line after another.

#include <string>

#include "content/kit/DataFolder.h"

std::string CreditsText();
void WriteCredits(DataFolder& folder);
