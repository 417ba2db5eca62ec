// The collision system's debug drawing: object boxes and shapes, tree cells
// and content boxes, coloured by the last visibility class when asked.

#include <GL/gl.h>

#include <variant>

#include "engine/graphics/GFXDisplay.h"
#include "engine/scene/cds/CDSNode.h"
#include "engine/scene/cds/CDSObject.h"
#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/SceneNode.h"

namespace {

// Render word of the debug lines: untextured wire drawing.
constexpr GFXRenderFlags kDebugRenderState = 2;

void DrawBox(const CCDSShape& box) { GFXDisplay::DrawWireBox(box.Min(), box.Max()); }

}  // namespace

void CCDSObject::Render() const {
  glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
  DrawBox(*this);
  if (kind == kMesh || std::holds_alternative<std::monostate>(volume)) return;
  const int32_t visibilityClass = node != nullptr ? node->visibility : 0;
  const float green = visibilityClass == 0 ? 1.0f : (visibilityClass == 1 ? 0.5f : 0.0f);
  const Matrix4 world = WorldMatrix();
  glPushMatrix();
  glMultMatrixf(world.m);
  glColor4f(1.0f, green, 0.0f, 1.0f);
  if (const BoundingSphere* sphere = std::get_if<BoundingSphere>(&volume)) {
    GFXDisplay::CallShapeList(sphere->centre, sphere->radius);
  } else if (const Cylinder* cylinder = std::get_if<Cylinder>(&volume)) {
    GFXDisplay::DrawBoundingSphere(*cylinder);
  } else if (const Capsule* capsule = std::get_if<Capsule>(&volume)) {
    GFXDisplay::DrawCapsule(*capsule);
  } else if (const CCDSShape* box = std::get_if<CCDSShape>(&volume)) {
    // The collision is centred on the node, whatever the volume's centre.
    const Vector3 half = (box->Max() - box->Min()) * 0.5f;
    GFXDisplay::DrawWireBox(-half, half);
  }
  glPopMatrix();
}

void CCDSNode::RenderShapes(CCDSNode* node) {
  if (node == nullptr) return;
  for (auto& child : node->children_) RenderShapes(child.get());
  for (CCDSObject* object : node->objects_) {
    if (!object->removed) object->Render();
  }
}

void CCDSNode::RenderBounds(CCDSNode* node) {
  if (node == nullptr) return;
  for (auto& child : node->children_) RenderBounds(child.get());
  const bool colour = sColourByVisibility != 0;
  const bool inView = node->visibility_ <= 1;
  const float alpha = !colour ? 0.5f : (inView ? 0.75f : 0.15f);
  if (node->objects_.empty()) {
    glColor4f(0.0f, 0.0f, 1.0f, alpha);
    DrawBox(node->cell_);
    return;
  }
  if (!colour)
    glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
  else
    glColor4f(0.0f, 1.0f, 0.0f, inView ? 1.0f : 0.5f);
  DrawBox(node->cell_);
  glColor4f(0.0f, 1.0f, 0.0f, alpha);
  DrawBox(node->contentBounds_);
}

void CCDSNode::RenderBox() const {
  const float alpha = sColourByVisibility == 0 ? 0.5f : (visibility_ <= 1 ? 0.75f : 0.15f);
  glColor4f(0.0f, 1.0f, 0.0f, alpha);
  DrawBox(cell_);
}

void CCDSNode::Render() {
  GFXDisplay::SetRenderState(kDebugRenderState);
  if (sDrawBounds != 0) RenderBounds(this);
  RenderShapes(this);
}
