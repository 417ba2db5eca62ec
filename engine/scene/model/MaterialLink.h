#pragma once
#include <cstdint>

class CMATMaterial;

// What models need of the material manager and the GL layer. The defaults
// reach the material manager; the GL layer installs the display-list release;
// tests install their own.
struct C3MEModelServices {
  // The material of that name (created when missing); may be null.
  CMATMaterial* (*getMaterial)(const char* name) = nullptr;
  // Reads a material library file; a missing file is logged and ignored.
  void (*readLibrary)(const char* fileName) = nullptr;
  // Resolves the textures of every material.
  void (*resolveTextures)() = nullptr;
  // Frees a display list compiled for a mesh or an index list.
  void (*deleteDisplayList)(int32_t list) = nullptr;
};

// The services in force.
C3MEModelServices& ModelServices();
// Replaces the services; returns the previous ones.
C3MEModelServices SetModelServices(const C3MEModelServices& services);
