#pragma once
// Material library text as the engine's reader takes it: a name line, "{",
// stage blocks of keyword lines, "}". Nothing but material blocks may stand
// between blocks (a comment there would become a material name), and no
// keyword line may hold "//".

#include <string>
#include <vector>

struct MaterialStage {
  std::vector<std::string> lines;  // keyword lines, e.g. "BLEND ADD"
};

// One material block.
std::string MaterialBlock(const std::string& name, const std::vector<MaterialStage>& stages);
// A colour keyword line with exactly four values.
std::string ColourLine(const char* keyword, float r, float g, float b, float a);
