#pragma once
// The names under which the game opens its data, spelt as the game spells
// them: the generator writes these files and the tests look for them.

#include <array>

namespace gamedata {

inline constexpr std::array<const char*, 5> kGemModels = {
    "Resources/Models/Gems/GemTetra.3mx", "Resources/Models/Gems/GemCubicChamfer.3mx",
    "Resources/Models/Gems/GemOrb.3mx",   "Resources/Models/Gems/GemOctagonal.3mx",
    "Resources/Models/Gems/Novalith.3mx",
};

// Indexed by the gem colour index: the game's table runs Black at 7 and
// White at 8 (see CrystalLooks for how each is painted).
inline constexpr std::array<const char*, 10> kCrystalMaterials = {
    "GemCrystalRed",  "GemCrystalOrange", "GemCrystalYellow", "GemCrystalGreen", "GemCrystalCyan",
    "GemCrystalBlue", "GemCrystalIndigo", "GemCrystalBlack",  "GemCrystalWhite", "GemCrystalGold",
};

struct Library {
  const char* path;
  std::array<const char*, 7> materials;  // unused entries are null
};

inline constexpr std::array<Library, 5> kLibraries = {{
    {"Resources/Materials/Backdrop.mat", {"GalacticPlane", "CompletedStar"}},
    {"Resources/Materials/SpecialFX.mat",
     {"StarHalo", "GemPieces", "StarExplosion", "FX_GemBeams", "FX_Rainbow", "FX_StarFlare", "FX_StarBeams"}},
    {"Resources/Materials/PuzzleRenderer.mat", {"FocusOrb"}},
    {"Resources/Materials/Achievements.mat", {"AchievementStars"}},
    {"Resources/Materials/Gems.mat", {}},  // the crystals, listed above
}};

inline constexpr const char* kConstellationMaterials = "Resources/Boards/Challenge/Materials.mat";
inline constexpr const char* kConstellationList = "Resources/Boards/Challenge/Constellations.txt";

// The eight glyph fonts, by font index.
inline constexpr std::array<const char*, 8> kGlyphSheets = {
    "Resources/HUD/Fonts/RedGem.png",    "Resources/HUD/Fonts/OrangeGem.png", "Resources/HUD/Fonts/YellowGem.png",
    "Resources/HUD/Fonts/GreenGem.png",  "Resources/HUD/Fonts/CyanGem.png",   "Resources/HUD/Fonts/BlueGem.png",
    "Resources/HUD/Fonts/PurpleGem.png", "Resources/HUD/Fonts/BlackGem.png",
};

inline constexpr std::array<const char*, 7> kScreens = {
    "Resources/HUD/novalithsbackground.png",
    "Resources/Materials/Textures/Intro/PH_VelkSW.png",
    "Resources/Materials/Textures/Intro/PH_Vyre_3rd.png",
    "Resources/Materials/Textures/Intro/Instructions.png",
    "Resources/Materials/Textures/Intro/ChallengeCompleted.png",
    "Resources/Materials/Textures/Intro/ChallengeCompletedOnPar.png",
    "Textures/HUDBackground.png",
};

// The display fonts, as the loading screen names them (".fnt" beside each).
inline constexpr std::array<const char*, 2> kTextFonts = {
    "Resources/Materials/Textures/Fonts/Arial21.png",
    "Resources/Materials/Textures/Fonts/Arial32Bold.png",
};

inline constexpr const char* kCredits = "Resources/Credits.txt";

inline constexpr std::array<const char*, 12> kEffectSounds = {
    "Resources/Sounds/GemPlacement.ogg",     "Resources/Sounds/GemChink01.ogg",
    "Resources/Sounds/GemBreak06.ogg",       "Resources/Sounds/GemBreak08.ogg",
    "Resources/Sounds/GrowNovalith.ogg",     "Resources/Sounds/ExplodeNovalith.ogg",
    "Resources/Sounds/UnstableNovalith.ogg", "Resources/Sounds/CollapseNovalith.ogg",
    "Resources/Sounds/Achievement.ogg",      "Resources/Sounds/RainbowAward.ogg",
    "Resources/Sounds/ClockChime.ogg",       "Resources/Sounds/TimerExpired.ogg",
};

inline constexpr std::array<const char*, 2> kStingFolders = {"Resources/Sounds/FrontEnd", "Resources/Sounds/GameOver"};
inline constexpr int kStingsPerFolder = 6;  // Phrase1.ogg to Phrase6.ogg

inline constexpr const char* kMusic = "Resources/Music/VelkBeat.ogg";

}  // namespace gamedata
