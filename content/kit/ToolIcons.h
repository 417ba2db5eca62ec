#pragma once
// The pictures of the developer tools: the toolbar buttons, the explorer's
// expand and collapse squares and the environment overlay's markers.

#include <string>
#include <vector>

// Writes them under a run folder, each where the tools ask for it; false
// when any file could not be made. The toolbar pictures, which the GUI
// material library blends, are appended to blended.
bool MakeToolIcons(const std::string& runFolder, std::vector<std::string>* blended);
