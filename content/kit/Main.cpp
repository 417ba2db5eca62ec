// Makes the engine's default data: make_default_data <run folder> <TrueType font>.

#include <cstdio>

#include "content/kit/DefaultData.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_default_data <run folder> <font.ttf>\n");
    return 2;
  }
  return MakeDefaultData(argv[1], argv[2]) ? 0 : 1;
}
