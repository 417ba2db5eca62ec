#pragma once
// The boards of the default Challenge: one ".stars" file per constellation,
// named by its [NAME], with one disc per star. Each disc is filled from a
// fixed seed, packed and given its groups by the game's own disc code, so
// the boards play like the discs the game itself generates.

#include <memory>
#include <string>
#include <vector>

#include "content/kit/DataFolder.h"

class CGPuzzleDisc;

// The length of every disc's gem queue; the file leaves the queue blank (all
// zero), so the game generates it when the disc starts.
inline constexpr int kBoardQueueLength = 12;

struct ConstellationDesign;

// Where the game looks for a constellation's board, relative to the run folder.
std::string BoardPath(const ConstellationDesign& constellation);

// The discs of constellation 0, 1 or 2 of the Challenge, in playing order.
std::vector<std::unique_ptr<CGPuzzleDisc>> ChallengeDiscs(size_t constellation);

void WriteChallengeBoards(DataFolder& folder);
