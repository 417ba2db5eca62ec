// Makes the game's data: make_game_data <run folder> <font folder>.

#include <cstdio>

#include "content/game/GameData.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_game_data <run folder> <font folder>\n");
    return 2;
  }
  return MakeGameData(argv[1], argv[2]) ? 0 : 1;
}
