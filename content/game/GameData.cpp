#include "content/game/GameData.h"

#include "content/game/ChallengeBoards.h"
#include "content/game/Constellations.h"
#include "content/game/Credits.h"
#include "content/game/GameSounds.h"
#include "content/game/GemModels.h"
#include "content/game/GlyphSheets.h"
#include "content/game/MaterialLibraries.h"
#include "content/game/Screens.h"
#include "content/game/TextFonts.h"
#include "content/kit/DataFolder.h"

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
