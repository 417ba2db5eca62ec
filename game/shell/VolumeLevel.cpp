#include "game/shell/VolumeLevel.h"

#include <algorithm>

#include "engine/runtime/settings/Registry.h"

bool ReadVolumeLevel(const char* name, int32_t& outLevel) {
  int32_t level = 0;
  if (RegistryReadValue(name, &level, sizeof(level)) == 0) return false;
  outLevel = std::clamp(level, 0, kTopVolumeLevel);
  return true;
}

bool WriteVolumeLevel(const char* name, int32_t level) { return RegistryWriteValue(name, 1, &level, sizeof(level)); }
