#pragma once
// The engine directory: fifteen pointers handed to the developer-tool library
// so it can reach the engine's managers.

#include <cstdint>

enum EngineDirectoryEntry : uint32_t {
  kDirApplication = 0,
  kDirWindowManager,
  kDirCommandRegistry,
  kDirVariableRegistry,
  kDirFSMRegistry,
  kDirSceneRoot,
  kDirMSGSystem,
  kDirInputManager,
  kDirTextureManager,
  kDirMaterialManager,
  kDirModelManager,
  kDirSoundManager,
  kDirCDSWorld,
  kDirUnused,
  kDirGUIMSGService,
  kEngineDirectorySize
};

// The directory, or null until one was made.
void** GetEngineDirectory();
// Makes the directory zero-filled when it does not exist; else changes nothing.
void** CreateEngineDirectory();
