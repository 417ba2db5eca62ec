#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"
#include "engine/scene/core/SceneNode.h"

class C3MEModel;
class SceneTextLines;

// One placed model of a scene file: attached to its own scene node, it draws
// the model there and prepares the model's matrices once the model manager
// has read it.
class CSCNInstance : public CSCNObject {
 public:
  CSCNInstance() = default;
  CSCNInstance(const CSCNInstance&) = delete;
  CSCNInstance& operator=(const CSCNInstance&) = delete;

  bool PreRender() override { return false; }
  // Draws the model at the current model-view matrix; false without a model.
  bool Render() override;
  bool PostRender() override { return false; }
  bool PreUpdate() override { return false; }
  // Prepares the matrices of a model that has just been read (logged on the
  // GEM channel); false when there is nothing to do.
  bool Update() override;
  bool PostUpdate() override { return false; }

  // The model drawing call, supplied by the renderer (unset: nothing drawn).
  using DrawModelHook = void (*)(C3MEModel* model);
  static DrawModelHook& DrawHook();

  C3MEModel* model = nullptr;
  CSCNNode* node = nullptr;
};

// One scenery library entry: instances whose name contains ref use the
// model file res. Both are kept in lower case.
struct CSCNLibraryEntry {
  String ref;
  String res;
};

// A scene of model instances read from two text files: a scenery library
// that maps name fragments to model files, and a layout that places named
// instances. Each instance gets a node of its own under the scene's root;
// the models are registered with the model manager, which reads them later.
class CSCNScene {
 public:
  // The node pool's name once a layout is read.
  static constexpr const char* kPoolName = "GEMScene";
  // Bounding radius given to every instance node.
  static constexpr float kInstanceRadius = 10.0f;

  CSCNScene();
  // Releases whatever is loaded.
  virtual ~CSCNScene();
  CSCNScene(const CSCNScene&) = delete;
  CSCNScene& operator=(const CSCNScene&) = delete;

  // Releases what was loaded before, then reads the library and the layout
  // named after it (the layout is read even when the library is missing);
  // true when both read.
  bool Load(const char* fileName);
  // Disables the scene, empties the library, releases the instances (and
  // the models this scene registered) and deletes every node.
  void Release();

  // The layout belonging to a library: the name up to and including the
  // first "." of its last path component, then "layout" ("level.lib" gives
  // "level.layout"; a name without a "." gives "layout" in its folder).
  static String LayoutNameFor(const char* libraryName);

  // Reads a scenery library; false when it does not open or is malformed
  // (the entries read before the fault are kept).
  bool ReadLibrary(const char* fileName);
  // Reads a layout; a file that does not open reads nothing and is true,
  // a malformed one is logged and false (what was read before stays).
  bool ReadLayout(const char* fileName);
  // Stores a library entry, both strings in lower case.
  void AddLibraryEntry(const String& ref, const String& res);
  // Lower-cases the name in place; the res of the first entry whose ref
  // occurs in it, or null.
  const String* FindResource(String& name) const;
  // Removes every library entry.
  void ClearLibrary();
  // Releases every instance: its model when this scene registered it, and
  // its node, which goes back to the pool.
  void ReleaseInstances();
  // Sets the enabled flag of the root and of every instance node.
  void SetEnabled(bool enabled);

  // Number of instances in layout order.
  uint32_t GetInstanceCount() const { return uint32_t(instances_.size()); }
  // Instance n; null when n is not below the count.
  CSCNInstance* GetInstance(uint32_t n) const { return n < instances_.size() ? instances_[n].get() : nullptr; }
  uint32_t GetLibraryCount() const { return uint32_t(library_.size()); }
  // Library entry n; null when n is not below the count.
  const CSCNLibraryEntry* GetLibraryEntry(uint32_t n) const {
    return n < library_.size() ? library_[n].get() : nullptr;
  }
  // The scene's root node; null until a layout is read.
  CSCNNode* GetRoot() const { return root_; }
  const CSCNNodePool& GetNodePool() const { return nodePool_; }

  // Updates or renders the node tree from the scene's root, when there is one.
  void Update();
  void Render();

  // Collects the pool's nodes whose name contains the text; their number.
  uint32_t FindNodes(const char* text);
  // Node n of the last FindNodes; null outside the results.
  CSCNNode* GetFoundNode(uint32_t n) const { return static_cast<CSCNNode*>(searchResults_.At(n)); }

 private:
  // Reads one instance (its name, node and properties lines); false when
  // its name line is missing or malformed.
  bool ReadInstance(SceneTextLines& lines, CSCNInstance& instance, uint32_t index, uint32_t count,
                    const char* fileName);

  PooledList searchResults_{10};
  std::vector<std::unique_ptr<CSCNLibraryEntry>> library_;
  std::vector<std::unique_ptr<CSCNInstance>> instances_;
  CSCNNodePool nodePool_;
  CSCNNode* root_ = nullptr;
  // Models this scene registered with the model manager; only these are
  // released with the scene, so models other owners hold stay alive.
  std::vector<C3MEModel*> registeredModels_;
};
