#include "game/shell/ProfileName.h"

#include <cstring>

bool IsSafeProfileName(const char* name) {
  if (name == nullptr) return false;
  const size_t length = std::strlen(name);
  if (length == 0 || length > kMaxProfileFileName || name[0] == '.') return false;
  for (size_t i = 0; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  }
  return true;
}

std::string ProfileRelativePath(const char* name) { return std::string("Profiles/") + name + ".profile"; }
