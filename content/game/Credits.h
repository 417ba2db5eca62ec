#pragma once
// The credits text: the project's own roles and the open libraries and fonts
// the game is built with, one marked line after another.

#include "content/kit/DataFolder.h"

#include <string>

std::string CreditsText();
void WriteCredits(DataFolder& folder);
