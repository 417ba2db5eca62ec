#pragma once
// Writes the engine's default data under a run folder.

#include <string>

// The default texture, the default font and its text file, the GUI frame and
// icon pictures, the developer tools' pictures, the ground plane and the GUI
// material library; false when any file could not be made.
bool MakeDefaultData(const std::string& runFolder, const std::string& fontPath);
