#include "content/GameData.h"

#include "content/ChallengeBoards.h"
#include "content/Constellations.h"
#include "content/Credits.h"
#include "content/DataFolder.h"
#include "content/GameSounds.h"
#include "content/GemModels.h"
#include "content/GlyphSheets.h"
#include "content/MaterialLibraries.h"
#include "content/Screens.h"
#include "content/TextFonts.h"

bool MakeGameData(const std::string& runFolder, const std::string& fontFolder) {
  DataFolder folder(runFolder);
  WriteScreens(folder, fontFolder);
  WriteGlyphSheets(folder, fontFolder + "/DejaVuSans-Bold.ttf");
  WriteTextFonts(folder, fontFolder);
  WriteMaterialLibraries(folder);
  WriteGemModels(folder);
  WriteConstellations(folder);
  WriteChallengeBoards(folder);
  WriteCredits(folder);
  WriteSounds(folder);
  return folder.Ok();
}
