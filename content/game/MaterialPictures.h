#pragma once
// The pictures the game's material libraries name: gem facets and glints,
// the galactic sky, the completed-star flip-book, glows, shards, bursts,
// beams, the drop marker's ring and the achievement star.

#include "content/kit/DataFolder.h"

namespace materialpicture {
// Where the libraries find them (names relative to the run folder).
inline constexpr const char* kCrystalFacet = "Resources/Materials/Textures/Gems/CrystalFacet.png";
inline constexpr const char* kCrystalGlint = "Resources/Materials/Textures/Gems/CrystalGlint.png";
inline constexpr const char* kGalaxy = "Resources/Materials/Textures/Backdrop/GalacticPlane.png";
inline constexpr const char* kCompletedStar = "Resources/Materials/Textures/Backdrop/CompletedStar.png";
inline constexpr const char* kHalo = "Resources/Materials/Textures/SpecialFX/StarHalo.png";
inline constexpr const char* kShard = "Resources/Materials/Textures/SpecialFX/GemPiece.png";
inline constexpr const char* kBurst = "Resources/Materials/Textures/SpecialFX/StarExplosion.png";
inline constexpr const char* kBeam = "Resources/Materials/Textures/SpecialFX/Beam.png";
inline constexpr const char* kStarBeam = "Resources/Materials/Textures/SpecialFX/StarBeam.png";
inline constexpr const char* kRainbow = "Resources/Materials/Textures/SpecialFX/Rainbow.png";
inline constexpr const char* kFlare = "Resources/Materials/Textures/SpecialFX/StarFlare.png";
inline constexpr const char* kFocusRing = "Resources/Materials/Textures/PuzzleRenderer/FocusRing.png";
inline constexpr const char* kAchievementStar = "Resources/Materials/Textures/Achievements/AchievementStar.png";
}  // namespace materialpicture

void WriteMaterialPictures(DataFolder& folder);
