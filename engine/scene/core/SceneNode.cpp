#include "engine/scene/core/SceneNode.h"

#include <memory>
#include <new>

#include "engine/foundation/File.h"

CSCNNode::CSCNNode() { Reset(); }

CSCNNode::~CSCNNode() {
  if (parent != nullptr) {
    parent->RemoveChild(this);
    // Children must not keep pointing at a node that is gone.
    while (children.Count() > 0) {
      CSCNNode* child = static_cast<CSCNNode*>(children.RemoveNode(children.Head()));
      if (child != nullptr) child->parent = nullptr;
    }
  } else {
    DetachChildren();
  }
  ClearAttachments();
}

void CSCNNode::Reset() {
  TransformNode::Reset();
  state = 0;
  enabled = false;
}

const String& CSCNNode::GetName() const {
  static const String notAvailable("N/A");
  return notAvailable;
}

CSCNNode& CSCNNode::GetRoot() {
  static CSCNNode root;
  return root;
}

uint32_t CSCNNode::CurrentLayerTag() { return 0; }

CSCNRenderHooks& CSCNNode::RenderHooks() {
  static CSCNRenderHooks hooks;
  return hooks;
}

bool CSCNNode::IsInSubtreeOf(const CSCNNode* node) const {
  for (const CSCNNode* walk = this; walk != nullptr; walk = walk->parent)
    if (walk == node) return true;
  return false;
}

bool CSCNNode::AddChild(CSCNNode* child) {
  // A cycle would make every walk of the tree run forever.
  if (child == nullptr || IsInSubtreeOf(child)) return false;
  if (child->parent != nullptr) child->parent->RemoveChild(child);
  if (!children.AddTail(child)) return false;
  child->parent = this;
  return true;
}

void CSCNNode::RemoveChild(CSCNNode* child) {
  if (child == nullptr) return;
  if (children.Remove(child) && child->parent == this) child->parent = nullptr;
}

void CSCNNode::DetachChildren() {
  while (children.Count() > 0) {
    CSCNNode* child = static_cast<CSCNNode*>(children.RemoveNode(children.Head()));
    if (child == nullptr) continue;
    child->parent = nullptr;
    child->DetachChildren();
  }
}

bool CSCNNode::Attach(CSCNObject* object, uint32_t tag) {
  if (attachmentCount == attachmentCapacity) {
    const uint32_t capacity = attachmentCapacity + kAttachmentGrowth;
    Attachment* grown = new (std::nothrow) Attachment[capacity];
    if (grown == nullptr) return false;
    for (uint32_t i = 0; i < attachmentCount; ++i) grown[i] = attachments[i];
    delete[] attachments;
    attachments = grown;
    attachmentCapacity = capacity;
  }
  attachments[attachmentCount++] = Attachment{object, tag};
  return true;
}

void CSCNNode::Detach(CSCNObject* object) {
  for (uint32_t i = 0; i < attachmentCount; ++i) {
    if (attachments[i].object != object) continue;
    attachments[i] = attachments[attachmentCount - 1];
    attachments[attachmentCount - 1] = Attachment{};
    --attachmentCount;
    return;
  }
}

void CSCNNode::ClearAttachments() {
  delete[] attachments;
  attachments = nullptr;
  attachmentCount = 0;
  attachmentCapacity = 0;
}

void CSCNNode::Update() {
  if (!enabled) return;
  computed = false;
  const uint32_t layer = CurrentLayerTag();
  for (uint32_t i = 0; i < attachmentCount; ++i) {
    CSCNObject* object = attachments[i].object;
    if (object == nullptr || attachments[i].tag != layer) continue;
    object->PreUpdate();
    object->Update();
    object->PostUpdate();
  }
  RebuildMatrix();
  for (PooledListNode* node = children.Head(); node != nullptr; node = node->next)
    static_cast<CSCNNode*>(node->data)->Update();
}

void CSCNNode::Render() {
  if (!enabled || state != 0) return;
  const CSCNRenderHooks& hooks = RenderHooks();
  if (hooks.pushMatrix != nullptr) hooks.pushMatrix(local);
  const uint32_t layer = CurrentLayerTag();
  for (uint32_t i = 0; i < attachmentCount; ++i) {
    CSCNObject* object = attachments[i].object;
    if (object == nullptr || attachments[i].tag != layer) continue;
    object->PreRender();
    object->Render();
    object->PostRender();
  }
  if (showMarker && hooks.drawMarker != nullptr) hooks.drawMarker(radius);
  for (PooledListNode* node = children.Head(); node != nullptr; node = node->next)
    static_cast<CSCNNode*>(node->data)->Render();
  if (hooks.popMatrix != nullptr) hooks.popMatrix();
}

uint32_t CSCNNode::CountNodes() const {
  uint32_t count = 1;
  for (PooledListNode* node = children.Head(); node != nullptr; node = node->next)
    count += static_cast<const CSCNNode*>(node->data)->CountNodes();
  return count;
}

CSCNNode* CSCNNode::PickByRay(const Ray& ray) {
  CSCNNode* hit = nullptr;
  for (PooledListNode* node = children.Head(); node != nullptr; node = node->next) {
    CSCNNode* childHit = static_cast<CSCNNode*>(node->data)->PickByRay(ray);
    if (childHit != nullptr) hit = childHit;
  }
  if (hit != nullptr) return hit;
  return Ray::IntersectSphere(ray, centre, radius) ? this : nullptr;
}

void CSCNNode::WriteText(File& file) const {
  const Vector3 view = local.GetRow2();
  file.WriteString("[SCNNODE]\n");
  file.WriteString("[POS] [");
  file.WriteFloat(centre.x).WriteString(",").WriteFloat(centre.y).WriteString(",").WriteFloat(centre.z);
  file.WriteString("]\n");
  file.WriteString("[SCALE] [1.0,1.0,1.0]\n");
  file.WriteString("[VIEW] [");
  file.WriteFloat(view.x).WriteString(",").WriteFloat(view.y).WriteString(",").WriteFloat(view.z);
  file.WriteString("]\n");
  file.WriteString("[STATE] ");
  file.WriteInt(int32_t(state)).WriteString(" | ").WriteInt(locked ? 1 : 0).WriteString(" | ");
  file.WriteFloat(radius).WriteString("\n");
}

CSCNNodePool::CSCNNodePool() : name("Un-named") {}

CSCNNodePool::~CSCNNodePool() { Clear(); }

CSCNNodePool& CSCNNodePool::Instance() {
  static CSCNNodePool pool;
  return pool;
}

CSCNNode* CSCNNodePool::Acquire() {
  if (nodes.IsFixed()) {
    void* kept = nodes.ReuseFree();
    if (kept != nullptr) return static_cast<CSCNNode*>(kept);
  }
  return CreateNode();
}

CSCNNode* CSCNNodePool::CreateNode() {
  CSCNNode* node = new (std::nothrow) CSCNNode;
  if (node == nullptr) return nullptr;
  if (!nodes.AddTail(node)) {
    delete node;
    return nullptr;
  }
  return node;
}

bool CSCNNodePool::Release(CSCNNode* node) {
  if (node == nullptr) return false;
  for (PooledListNode* entry = nodes.Head(); entry != nullptr; entry = entry->next) {
    if (entry->data != node) continue;
    nodes.RemoveNode(entry);
    // A fixed list keeps the data of freed entries for reuse: this node
    // is gone, so nothing may hand it out again.
    entry->data = nullptr;
    delete node;
    return true;
  }
  return false;
}

void CSCNNodePool::Clear() {
  while (nodes.Count() > 0) delete static_cast<CSCNNode*>(nodes.RemoveNode(nodes.Head()));
}

void CSCNNodePool::Rename(const char* newName, uint32_t count) {
  name = newName;
  Clear();
  nodes.Clear();
  nodes.Reserve(count);
}
