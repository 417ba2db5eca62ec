#pragma once
// The contact coefficients of a pair of material groups; every pair starts
// with these defaults and the contact code reads them.

#include <cstdint>

struct dgMaterialPair {
  // Flag bits set by default (0x47).
  static constexpr uint32_t kDefaultFlags = (1u << 0) | (1u << 1) | (1u << 2) | (1u << 6);

  void* userData = nullptr;
  void* contactCallback = nullptr;
  void* collisionCallback = nullptr;
  float softness = 0.1f;
  float elasticity = 0.4f;
  float staticFriction0 = 0.9f;
  float staticFriction1 = 0.9f;
  float kineticFriction0 = 0.5f;
  float kineticFriction1 = 0.5f;
  uint32_t reserved[3] = {};
  uint32_t flags = kDefaultFlags;
};
