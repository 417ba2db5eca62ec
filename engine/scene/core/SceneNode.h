#pragma once
#include <cstdint>

#include "engine/foundation/PooledList.h"
#include "engine/foundation/Ray.h"
#include "engine/foundation/String.h"
#include "engine/foundation/TransformNode.h"

class File;
#include "engine/foundation/Matrix4.h"

// Anything attached to a scene node: the node's render walk calls the first
// three operations, its per-frame update the last three.
class CSCNObject {
 public:
  virtual ~CSCNObject() = default;
  virtual bool PreRender() = 0;
  virtual bool Render() = 0;
  virtual bool PostRender() = 0;
  virtual bool PreUpdate() = 0;
  virtual bool Update() = 0;
  virtual bool PostUpdate() = 0;
};

// The drawing calls of the render walk, supplied by the GL layer (tests
// record them). Unset hooks are skipped.
struct CSCNRenderHooks {
  // Pushes the model-view matrix and multiplies the node's local matrix onto it.
  void (*pushMatrix)(const Matrix4& local) = nullptr;
  // Pops the model-view matrix.
  void (*popMatrix)() = nullptr;
  // Draws the node marker: a point and a wire sphere of the bounding radius.
  void (*drawMarker)(float radius) = nullptr;
};

// A transform in the scene tree with child nodes and attached objects.
class CSCNNode : public TransformNode {
 public:
  struct Attachment {
    CSCNObject* object = nullptr;
    uint32_t tag = 0;
  };
  // Attachments grow by this many entries at a time.
  static constexpr uint32_t kAttachmentGrowth = 4;

  // Constructed reset and disabled.
  CSCNNode();
  CSCNNode(const CSCNNode&) = delete;
  CSCNNode& operator=(const CSCNNode&) = delete;
  // Leaves the parent and lets go of the children (nothing is destroyed).
  ~CSCNNode() override;

  // Transform reset; state 0 and disabled.
  void Reset() override;
  // Nodes have no name: the shared "N/A".
  const String& GetName() const;

  // The global root node, built on first use (disabled, like every node).
  static CSCNNode& GetRoot();
  // The layer tag whose objects update and render; 0 and never changed.
  static uint32_t CurrentLayerTag();

  // Appends a child at the tail (taking it from its previous parent). A node
  // cannot become a child of itself or of its own subtree; false then.
  bool AddChild(CSCNNode* child);
  // Removes a child from the list; its parent is cleared.
  void RemoveChild(CSCNNode* child);
  // Takes the whole subtree apart (nothing is destroyed).
  void DetachChildren();
  // Appends an object with a layer tag, growing the array by 4 when full.
  bool Attach(CSCNObject* object, uint32_t tag);
  // Removes the first entry of the object, moving the last entry into its place.
  void Detach(CSCNObject* object);
  // Frees the attachment array.
  void ClearAttachments();

  // Per-frame step: this node's objects (PreUpdate, Update, PostUpdate each),
  // the local matrix, then the children; nothing when disabled.
  void Update();
  // Draws this node's objects and its children inside its matrix; nothing
  // when disabled or when the state is not 0.
  void Render();
  // This node plus all nodes below it.
  uint32_t CountNodes() const;
  // The deepest node whose bounding sphere the ray hits (children first).
  CSCNNode* PickByRay(const Ray& ray);
  // Writes the node record ("[SCNNODE]", position, scale, view row, state line).
  void WriteText(File& file) const;

  // Debug drawings of the subtree in the current model-view. Like Update
  // and Render they skip a disabled node and everything below it.
  // A ring of the bounding radius around the position of each node in state 0.
  void DrawBounds();
  // A line of width 2, in the current colour, from the matrix translation
  // of each node in state 0 to each of its children's.
  void DrawLinks();
  // "[W] [x,y,z]" with the matrix translation of each node not in state 2,
  // printed in font 0 where the point projects on screen (through the
  // matrices current when this is called).
  void DrawLabels();

  CSCNNode* GetParent() const { return parent; }
  uint32_t GetChildCount() const { return children.Count(); }
  // Child n in list order; null when out of range.
  CSCNNode* GetChild(uint32_t n) const { return static_cast<CSCNNode*>(children.At(n)); }

  // The render walk's drawing calls.
  static CSCNRenderHooks& RenderHooks();

  CSCNNode* parent = nullptr;
  PooledList children{10};
  bool showMarker = false;
  uint32_t state = 0;
  bool enabled = false;
  uint32_t attachmentCount = 0;
  uint32_t attachmentCapacity = 0;
  Attachment* attachments = nullptr;
  // A number owned by the node's user (actors keep a collision handle here).
  int32_t id = -1;
  // The class the collision system's last visibility pass gave the node
  // (the frustum's codes: 0 in view, 1 partly, 2 out of view).
  int32_t visibility = 0;

 private:
  bool IsInSubtreeOf(const CSCNNode* node) const;
};

// A named pool of scene nodes it owns.
class CSCNNodePool {
 public:
  CSCNNodePool();
  CSCNNodePool(const CSCNNodePool&) = delete;
  CSCNNodePool& operator=(const CSCNNodePool&) = delete;
  virtual ~CSCNNodePool();

  // The global pool actors take collision-body nodes from.
  static CSCNNodePool& Instance();

  // A node: a kept freed one when the list keeps them, else a new one.
  CSCNNode* Acquire();
  // Constructs a node and appends it to the pool.
  CSCNNode* CreateNode();
  // Takes a node of this pool out of it and deletes it (it leaves its
  // parent and lets go of its children); false, and nothing deleted, for
  // a node the pool does not hold.
  bool Release(CSCNNode* node);
  // Deletes every node of the pool.
  void Clear();
  // Renames the pool and replaces its nodes by an empty list sized for count.
  void Rename(const char* newName, uint32_t count);

  String name;
  PooledList nodes{10};
};
