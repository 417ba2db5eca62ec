#pragma once

// The stored volume levels ("Audio\Music", "Audio\Sound"): whole steps
// from 0 to 10, kept in the registry as 32-bit values.

#include <cstdint>

constexpr int32_t kTopVolumeLevel = 10;

// A stored level, clamped to 0..10; false when none is stored.
bool ReadVolumeLevel(const char* name, int32_t& outLevel);
// Stores a level; false when the store cannot be written.
bool WriteVolumeLevel(const char* name, int32_t level);
