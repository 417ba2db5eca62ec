#pragma once

// What the Challenge's states share: their data files, the story's pages and
// the animated values the story keeps in the game.

// The constellations of the Challenge, in play order.
inline constexpr const char* kConstellationListPath = "Resources/Boards/Challenge/Constellations.txt";
// The materials of the constellations' images.
inline constexpr const char* kChallengeMaterialsPath = "Resources/Boards/Challenge/Materials.mat";

// The pictures that close the Challenge.
inline constexpr const char* kChallengeCompletedPicture = "Resources/Materials/Textures/Intro/ChallengeCompleted.png";
inline constexpr const char* kChallengeCompletedOnParPicture =
    "Resources/Materials/Textures/Intro/ChallengeCompletedOnPar.png";

// What each of Game::storyChannels animates.
enum StoryChannel : int {
  kStoryBandAlpha = 0,
  kStoryTextAlpha = 1,
  // The galaxy's radius: it appears on page 3 and grows on page 4.
  kStoryPlaneGrowth = 2,
};

constexpr int kStoryPageCount = 10;
// The longest line that fits the screen from the story's left margin.
constexpr int kStoryLineMaxCharacters = 60;

// The line of a page (0 to 9); empty outside.
const char* StoryLine(int page);
