#include "engine/foundation/PlaceholderWarning.h"

#include <set>
#include <string>

#include "engine/foundation/Log.h"

void WarnPlaceholder(const char* path, const char* reason) {
  static std::set<std::string> named;
  const std::string key = path != nullptr ? path : "";
  if (!named.insert(key).second) return;
  LogWarning("Cannot load %s (%s); the game goes on without it", key.c_str(), reason != nullptr ? reason : "");
}
