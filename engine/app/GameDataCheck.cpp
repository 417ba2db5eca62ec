#include "engine/app/GameDataCheck.h"

#include <string>

#include "platform/DebugOutput.h"
#include "platform/FileSystem.h"

bool GameDataFound() {
  // The archive lives inside the folder: the folder is what must be there,
  // and readable, or every file of the game would be a placeholder.
  std::string reason;
  const platform::FolderRead found = platform::CheckFolder(kGameDataFolder, reason);
  if (found == platform::FolderRead::Readable) return true;
  std::string folder = platform::CurrentDirectory();
  if (folder.empty()) folder = "the working directory";
  std::string text;
  if (found == platform::FolderRead::Unreadable) {
    text = std::string("The game data cannot be read: the folder ") + folder + "/" + kGameDataFolder + " (" + reason +
           ").\n";
  } else {
    text = std::string("The game data is missing: no folder ") + kGameDataFolder + " (nor the archive " +
           kGameDataFolder + "/Vyre.cab) in " + folder + ". Start the program from the folder that holds it.\n";
  }
  platform::DebugOutput(text.c_str(), platform::Severity::Error);
  return false;
}
