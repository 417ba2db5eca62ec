#include "engine/tools/ModelWindow.h"

#include <GL/gl.h>

#include <algorithm>

#include "engine/graphics/GFXDisplay.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelDrawing.h"
#include "engine/scene/model/ModelManager.h"

namespace {

constexpr float kDistance = -75.0f;
constexpr uint32_t kRenderState = 0x282C;
constexpr float kSpinStep = 0.125f;

}  // namespace

ModelWindow::ModelWindow() { name = "Vyre Model"; }

ModelWindow::~ModelWindow() = default;

void ModelWindow::SelectModel(int32_t index) {
  const uint32_t count = C3MEManager::Instance().GetModelCount();
  StoreSelection(index, count, static_cast<int32_t>(count));
}

// Looked up at every use, so a model released meanwhile is never reached.
C3MEModel* ModelWindow::SelectedModel() const {
  const C3MEManager& models = C3MEManager::Instance();
  return HasEntry(models.GetModelCount()) ? models.GetModelAt(static_cast<uint32_t>(GetSelectedIndex())) : nullptr;
}

float ModelWindow::ViewScale(const Vector2& clientSize, float radius) {
  const float r = radius > 0.0f ? radius : 1.0f;
  return std::max(clientSize.x, clientSize.y) / r / 25.0f;
}

void ModelWindow::DrawContents() {
  BeginContents(1, 1);
  C3MEModel* model = SelectedModel();
  if (model == nullptr) {
    PrintMissing("No valid Model found");
    return;
  }
  PushViewport(kNearPlane, kFarPlane);
  glTranslatef(0.0f, 0.0f, kDistance);
  GFXDisplay::SetRenderState(kRenderState);
  const float scale = ViewScale(inner.GetSize(), model->sphere.radius);
  glScalef(scale, scale, scale);
  SpinView(kSpinStep);
  GFXDisplay::DrawModel(model);
  PopViewport();
  PrintfCell(0, 1, 1, "Model : %s", model->name.Chars());
}

void ModelWindow::SetDefaultFrame(int32_t fontIndex) { SetViewerFrame(fontIndex, Vector2(500, 0)); }
