#include "content/kit/MaterialText.h"

#include <cstdio>

std::string MaterialBlock(const std::string& name, const std::vector<MaterialStage>& stages) {
  std::string text = name + "\n{\n";
  for (const MaterialStage& stage : stages) {
    text += "\t{\n";
    for (const std::string& line : stage.lines) text += "\t\t" + line + "\n";
    text += "\t}\n";
  }
  return text + "}\n";
}

std::string ColourLine(const char* keyword, float r, float g, float b, float a) {
  char line[96];
  std::snprintf(line, sizeof line, "%s %.3f %.3f %.3f %.3f", keyword, double(r), double(g), double(b), double(a));
  return line;
}
