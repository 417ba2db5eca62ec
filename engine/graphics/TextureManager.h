#pragma once
// The single owner of every texture. Asking for a name that is not known yet
// creates a queued texture at once; the per-frame load step loads queued
// textures, trying the name as given and then under each search path, and
// gives a texture that cannot be loaded the picture of "TEXDefault.TGA".

#include <cstdint>

#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"
#include "engine/graphics/Texture.h"

class CTEXManager {
 public:
  // The manager, built on first use.
  static CTEXManager* GetInstance();
  // Destroys the manager (and every GL texture) while a context still
  // exists; the next GetInstance builds a new one.
  static void DestroyInstance();
  // Whether the manager exists now (nothing is built by asking).
  static bool Exists();

  // Adds the standard search paths and queues the default texture.
  CTEXManager();
  // Destroys every texture and search path.
  virtual ~CTEXManager();
  CTEXManager(const CTEXManager&) = delete;
  CTEXManager& operator=(const CTEXManager&) = delete;

  // The texture of a name (lower-cased, "\" turned to "/"), created and
  // queued when new; the default texture for an empty name.
  CTEXTexture* GetTexture(const String& name);
  CTEXTexture* GetTextureByFileName(const char* name);
  // The most recent texture whose full name equals the name once both lose
  // their extensions; null when none.
  CTEXTexture* FindTexture(const String& name) const;
  // A new queued texture of that name.
  CTEXTexture* CreateTexture(const String& name);
  // Destroys a texture of this manager.
  void Release(CTEXTexture* texture);
  // Appends a search path (ignored when empty or already present).
  void AddSearchPath(const String& path);

  // Loads queued textures (and, when forced, defaulted ones again).
  void LoadQueued(bool force);
  // Deletes every loaded GL texture and queues all file textures again, so
  // the next load step reloads them (after the context was rebuilt).
  void UnloadAll();

  // Reads a texture list ("[TEX]", count, one name per line): each name is
  // asked for. False when the file cannot be read or is not a list.
  bool ReadTextureList(const char* path);
  // Writes every texture's full name as a texture list.
  bool WriteTextureList(const char* path) const;

  CTEXTexture* DefaultTexture() const { return defaultTexture_; }
  uint32_t TextureCount() const { return textures_.Count(); }
  CTEXTexture* TextureAt(uint32_t index) const { return static_cast<CTEXTexture*>(textures_.At(index)); }
  uint32_t SearchPathCount() const { return searchPaths_.Count(); }
  const String* SearchPathAt(uint32_t index) const { return static_cast<const String*>(searchPaths_.At(index)); }
  int32_t PendingCount() const { return pendingCount_; }
  // Textures the last LoadQueued call loaded (0 after an idle call).
  int32_t LoadedThisCall() const { return loadedThisCall_; }
  // Per cent of the textures examined by the last load call.
  float LoadProgress() const { return loadProgress_; }
  // Most textures one load call loads (-1: no limit).
  void SetLoadBudget(int32_t budget) { loadBudget_ = budget; }

 private:
  void LoadOne(CTEXTexture* texture, uint32_t position);

  PooledList textures_;
  float loadProgress_ = 0.0f;
  PooledList searchPaths_;
  int32_t loadBudget_ = -1;
  int32_t loadedThisCall_ = 0;
  int32_t pendingCount_ = 0;
  CTEXTexture* defaultTexture_ = nullptr;
};
