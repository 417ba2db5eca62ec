#include "ChallengeTestSupport.h"

#include <cstdio>
#include <fstream>
#include <memory>

#include "game/rules/BoardFile.h"
#include "game/rules/tests/support/PuzzleTestSupport.h"
#include "platform/FileSystem.h"

namespace puzzle_test {

namespace {

constexpr const char* kFolder = "Resources/Boards/Challenge/";

std::string Definition(const TestConstellation& constellation) {
  std::string text =
      "[NAME] " + constellation.name + "\n[STARS] " + std::to_string(constellation.parSeconds.size()) + "\n";
  int x = 16;
  for (int par : constellation.parSeconds) {
    text += "\t[STAR] (" + std::to_string(x) + ",128) 1.0 " + std::to_string(par / 60) + ":" +
            std::to_string(par % 60) + "\n";
    x += 32;
  }
  return text + "[END]\n";
}

}  // namespace

void WriteChallenge(const std::vector<TestConstellation>& constellations) {
  platform::MakeFolder("Resources");
  platform::MakeFolder("Resources/Boards");
  platform::MakeFolder(kFolder);
  std::string list = "[CONSTELLATIONS] " + std::to_string(constellations.size()) + "\n";
  for (const TestConstellation& constellation : constellations) {
    list += "[CONSTELLATION] " + constellation.name + "\n";
    const std::string definition = kFolder + constellation.name + ".definition.txt";
    const std::string board = kFolder + constellation.name + ".stars";
    // A file of an earlier set is no longer there.
    if (constellation.missingDefinition) {
      std::remove(definition.c_str());
    } else {
      std::ofstream(definition, std::ios::binary) << Definition(constellation);
    }
    if (constellation.missingBoard) {
      std::remove(board.c_str());
      continue;
    }
    if (constellation.garbageBoard) {
      std::ofstream(board, std::ios::binary) << "\xff\xff\xff\x7fgarbage";
      continue;
    }
    const int discCount =
        constellation.boardDiscs < 0 ? static_cast<int>(constellation.parSeconds.size()) : constellation.boardDiscs;
    std::vector<std::unique_ptr<CGPuzzleDisc>> discs;
    std::vector<const CGPuzzleDisc*> written;
    for (int i = 0; i < discCount; ++i) {
      discs.push_back(DrawDisc({"R.......", "........", "........"}));
      discs.back()->queue->Init(12);
      written.push_back(discs.back().get());
    }
    WriteBoard(board.c_str(), written);
  }
  std::ofstream(std::string(kFolder) + "Constellations.txt", std::ios::binary) << list + "[END]\n";
}

}  // namespace puzzle_test
