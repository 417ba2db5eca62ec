#include "engine/scene/core/ResourceName.h"

std::string UpperAscii(const char* text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return upper;
}

std::string NameExtension(const std::string& name) { return name.size() >= 3 ? name.substr(name.size() - 3) : name; }
