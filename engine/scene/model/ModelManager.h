#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/String.h"

class C3MEModel;

// The single owner of every model: shares one model per file name and reads
// the models requested since the last update in one batch.
class C3MEManager {
 public:
  // The manager, built on first use.
  static C3MEManager& Instance();
  // Destroys the manager (and every model) before static destruction.
  static void Shutdown();
  // Whether the manager exists now (nothing is built by asking).
  static bool Exists();

  C3MEManager();
  C3MEManager(const C3MEManager&) = delete;
  C3MEManager& operator=(const C3MEManager&) = delete;
  virtual ~C3MEManager();

  // Adds a search path (kept for the developer tools); empty paths are ignored.
  void AddSearchPath(const char* path);
  // The model registered under that name (registered, unread, when new); null for "".
  C3MEModel* GetModel(String fileName);
  // The registered model that the name denotes, newest first; null when none.
  C3MEModel* FindModel(const String& fileName) const;
  // Registers a new, unread model under the name.
  C3MEModel* CreateModel(const String& fileName);
  // Logs, unregisters and deletes a registered model; others are left alone.
  void ReleaseModel(C3MEModel* model);
  // Reads every model not tried yet (the .3ME file first, then the .3MX).
  void LoadResources();
  // Reads pending models, once a frame.
  void Update();
  // Reads again every model whose file still opens.
  void ReloadModels();
  // Writes the registered names ("[3ME]", the count, one name a line).
  bool WriteList(const char* fileName) const;
  // Registers the names of a list file written by WriteList.
  bool ReadList(const char* fileName);
  // Clears every model's mark.
  void ClearMarks();

  uint32_t GetModelCount() const { return uint32_t(models_.size()); }
  // Model at list position n; null when out of range.
  C3MEModel* GetModelAt(uint32_t n) const { return n < models_.size() ? models_[n] : nullptr; }
  uint32_t GetSearchPathCount() const { return uint32_t(searchPaths_.size()); }
  const String& GetSearchPath(uint32_t n) const { return searchPaths_[n]; }

  // Two names denote one model when equal after cutting the last four
  // characters of each name that holds a "." (letter case counts).
  static bool SameModelName(const char* a, const char* b);

  // Models read per LoadResources call at most; negative for no limit.
  int32_t loadLimit = -1;
  // Models attempted by the last LoadResources call (0 after an idle call).
  int32_t loadedThisCall = 0;
  // Models registered and not yet attempted.
  int32_t pending = 0;

 private:
  std::vector<C3MEModel*> models_;
  std::vector<String> searchPaths_;
};
