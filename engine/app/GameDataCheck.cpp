#include "engine/app/GameDataCheck.h"

#include <string>

#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"

bool GameDataFound() {
  // The archive lives inside the folder: the folder is what must be there.
  if (platform::IsFolder(kGameDataFolder)) return true;
  std::string folder = platform::CurrentDirectory();
  if (folder.empty()) folder = "the working directory";
  const std::string text = std::string("The game data is missing: no folder ") + kGameDataFolder +
                           " (nor the archive " + kGameDataFolder + "/Vyre.cab) in " + folder +
                           ". Start the program from the folder that holds it.\n";
  platform::DebugOutput(text.c_str(), platform::Severity::Error);
  return false;
}
