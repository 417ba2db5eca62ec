#pragma once

// Board files (".stars"): the discs of one constellation, one per star,
// each with its rings of gems and its gem queue. Little-endian 32-bit
// integers: the disc count; per disc its rings, gems per ring and queue
// length, then colour, shape and state of every slot ring by ring, then of
// every queue position.

#include <memory>
#include <vector>

#include "game/rules/PuzzleDisc.h"

// What a board may hold; a file outside these is refused.
constexpr int32_t kMaxBoardDiscs = 64;
constexpr int32_t kMaxBoardRings = 16;
constexpr int32_t kMinBoardGems = 3;
constexpr int32_t kMaxBoardGems = 64;
constexpr int32_t kMaxBoardPipe = 1024;
// The queue of a disc whose file gives it none is generated, this long.
constexpr unsigned kGeneratedPipeLength = 12;

// Reads the board at the path into discs (emptied first). False, with a log
// line, when the file cannot be opened or its counts lie outside the
// bounds; slots with a colour, shape or state that cannot be are Empty.
bool ReadBoard(const char* path, std::vector<std::unique_ptr<CGPuzzleDisc>>& discs);

// Writes the discs as a board file; false when it cannot be written.
bool WriteBoard(const char* path, const std::vector<const CGPuzzleDisc*>& discs);
