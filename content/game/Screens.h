#pragma once
// The full-screen pictures: the title banner, the studio and engine screens,
// the instructions, the two closing pictures of the Challenge, and the HUD's
// empty whole-screen image.

#include <string>

#include "content/kit/DataFolder.h"

void WriteScreens(DataFolder& folder, const std::string& fontFolder);
