#pragma once
// The single owner of every material: hands materials out by name (a name
// never seen becomes a one-stage material showing the texture of that name),
// reads and writes material libraries, re-reads changed libraries, resolves
// stage textures through the texture manager, keeps per-instance track
// times, and advances the tracks of every material in use once a frame.

#include <cstdint>

#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"
#include "engine/graphics/Material.h"

class CTEXManager;

// One user of a material whose tracks play from the user's own time.
class CMATInstance {
 public:
  CMATInstance() = default;
  virtual ~CMATInstance() = default;
  void Set(int32_t newIndex, CMATMaterial* newMaterial, float newTime);
  void SetTime(float newTime) { time = newTime; }
  // Replays the material's tracks from this instance's time, then advances.
  void Update(float dt);

  int32_t index = -1;
  CMATMaterial* material = nullptr;  // not owned
  float time = 0.0f;
};

// Library read states; a refused library opened but was no library.
enum LibraryStatus : int32_t { kLibraryReading = 0, kLibraryRead = 1, kLibraryOpenFailed = 2, kLibraryRefused = 3 };

struct CMATLibraryInfo {
  int32_t status = kLibraryReading;
  String path;
  int32_t modificationTime = 0;  // seconds; 0 when it could not be read
};

struct CMATLibrary {
  CMATLibrary() = default;
  ~CMATLibrary() { delete info; }
  CMATLibrary(const CMATLibrary&) = delete;
  CMATLibrary& operator=(const CMATLibrary&) = delete;

  CMATLibraryInfo* info = nullptr;
  uint32_t materialCount = 0;  // material blocks met while reading
};

class CMATManager {
 public:
  // The manager, built on first use.
  static CMATManager* GetInstance();
  // Destroys the manager while the log still exists.
  static void DestroyInstance();
  // Whether the manager exists now (nothing is built by asking).
  static bool Exists();

  // A manager resolving textures through the given texture manager (the
  // single one when null).
  explicit CMATManager(CTEXManager* textures = nullptr);
  virtual ~CMATManager();
  CMATManager(const CMATManager&) = delete;
  CMATManager& operator=(const CMATManager&) = delete;

  // The material of a name; one without stages gets a stage whose map is the
  // name as asked. Null for an empty name.
  CMATMaterial* GetMaterial(const String& name);
  CMATMaterial* GetMaterial(const char* name);
  // The material of a lower-cased name, created when new; null when empty.
  CMATMaterial* FindOrCreate(const String& name);
  // A new material (lower-cased name) appended to the list.
  CMATMaterial* CreateMaterial(const String& name);
  // The first material whose name matches ignoring case; null when none.
  CMATMaterial* FindMaterial(const String& name);
  // Position of the material with exactly this name, or -1.
  int32_t IndexOf(const String& name) const;
  CMATMaterial* GetMaterialAt(uint32_t n) const { return static_cast<CMATMaterial*>(materials_.At(n)); }
  CMATInstance* GetInstanceAt(uint32_t n) const { return static_cast<CMATInstance*>(instances_.At(n)); }
  uint32_t GetMaterialCount() const { return materials_.Count(); }
  uint32_t GetInstanceCount() const { return instances_.Count(); }

  // A new instance record of the named material; null when there is none.
  CMATInstance* CreateInstance(const String& name);
  // Drops an instance record.
  void RemoveInstance(CMATInstance* instance);
  // Destroys a material, its instance records and the textures only it used.
  void RemoveMaterial(CMATMaterial* material);

  // Reads a library file; true when it was opened and is text (a file of
  // binary bytes is refused whole, with a warning). The first definition of
  // a name wins unless that material still lacks its first texture.
  bool ReadLibrary(const char* path);
  // ReadLibrary for a library the game data must hold: one that cannot be
  // opened is named on the terminal too, as its materials keep placeholders.
  bool ReadNeededLibrary(const char* path);
  // Reads again every library whose file changed since it was read.
  void ReloadLibrary();
  // Writes every material to a library file; true on success.
  bool WriteLibrary(const char* path) const;
  // Gives every unresolved stage the texture of its map name.
  void ResolveTextures();
  // Advances the tracks by the clock's game step.
  void Update();
  // Advances the tracks by a step in seconds.
  void UpdateBy(float step);
  // Destroys every material / instance record.
  void ClearMaterials();
  void ClearInstances();

  uint32_t GetLibraryCount() const { return libraries_.Count(); }
  const CMATLibrary* GetLibraryAt(uint32_t n) const { return static_cast<CMATLibrary*>(libraries_.At(n)); }
  int32_t PendingCount() const { return pendingCount_; }
  // Stages the last ResolveTextures call resolved (0 after an idle call).
  int32_t ResolvedThisCall() const { return resolvedThisCall_; }
  // Most stage textures one resolve call resolves (-1: no limit).
  void SetResolveBudget(int32_t budget) { resolveBudget_ = budget; }

 private:
  // Reads a known material's block again, counting it as pending once.
  void RereadCounted(CMATMaterial& material, TextLines& file);
  // Counts a material whose block gave no stages as done.
  void SettleIfStageless(const CMATMaterial& material);
  bool TextureStillUsed(const CTEXTexture* texture, const CMATMaterial* except) const;

  int32_t resolveBudget_ = -1;
  int32_t resolvedThisCall_ = 0;
  int32_t pendingCount_ = 0;
  CTEXManager* textures_ = nullptr;
  PooledList materials_;
  PooledList instances_;
  PooledList libraries_;
};
