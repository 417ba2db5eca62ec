// The scene nodes' debug drawings: bounding rings, parent-child links and
// position labels. Nothing in the frame calls them; a developer does.

#include <cstdio>

#include "engine/graphics/GFXDisplay.h"
#include "engine/scene/core/SceneNode.h"

namespace {

constexpr float kLinkWidth = 2.0f;
// Nodes in this state get no label.
constexpr uint32_t kUnlabelledState = 2;
constexpr int kLabelFont = 0;

// Visits the node and its subtree in tree order; a disabled node hides its subtree.
template <class Visit>
void VisitEnabled(CSCNNode& node, const Visit& visit) {
  if (!node.enabled) return;
  visit(node);
  for (PooledListNode* entry = node.children.Head(); entry != nullptr; entry = entry->next)
    VisitEnabled(*static_cast<CSCNNode*>(entry->data), visit);
}

// The translation of the node's matrix. The transform's matrices are brought
// up to date first unless marked valid (Update clears the mark; the
// always-recompute switch, on from the start, ignores it).
Vector3 MatrixTranslation(CSCNNode& node) {
  node.GetMatrix();
  return node.local.GetTranslation();
}

}  // namespace

void CSCNNode::DrawBounds() {
  VisitEnabled(*this, [](CSCNNode& node) {
    if (node.state == 0) GFXDisplay::DrawRing(node.centre, node.radius);
  });
}

void CSCNNode::DrawLinks() {
  VisitEnabled(*this, [](CSCNNode& node) {
    if (node.state != 0 || node.children.Count() == 0) return;
    const Vector3 from = MatrixTranslation(node);
    for (PooledListNode* entry = node.children.Head(); entry != nullptr; entry = entry->next)
      GFXDisplay::DrawLine(from, MatrixTranslation(*static_cast<CSCNNode*>(entry->data)), kLinkWidth);
  });
}

void CSCNNode::DrawLabels() {
  // The labels project through the view the nodes are drawn with.
  GFXDisplay::CaptureMatrices();
  VisitEnabled(*this, [](CSCNNode& node) {
    if (node.state == kUnlabelledState) return;
    const Vector3 at = MatrixTranslation(node);
    Vector2 onScreen;
    if (!GFXDisplay::ProjectToScreen(at, &onScreen)) return;
    // Wide enough for three of the widest floats "%.2f" can print.
    char label[160];
    std::snprintf(label, sizeof label, "[W] [%.2f,%.2f,%.2f]", double(at.x), double(at.y), double(at.z));
    GFXDisplay::PrintAt(kLabelFont, label, onScreen);
  });
}
