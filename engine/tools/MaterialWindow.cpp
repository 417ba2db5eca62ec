#include "engine/tools/MaterialWindow.h"

#include <GL/gl.h>

#include "engine/foundation/Clock.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/Texture.h"
#include "engine/tools/DebugCanvas.h"

namespace {

constexpr float kDistance = -75.0f;
constexpr uint32_t kRenderState = 0x280C;
// The cube turns ten degrees per second of real time.
constexpr float kSpinPerSecond = 10.0f;
constexpr float kCubeSize = 100.0f;

}  // namespace

MaterialWindow::MaterialWindow() { name = "Vyre Material"; }

MaterialWindow::~MaterialWindow() = default;

void MaterialWindow::SelectMaterial(int32_t index) {
  const uint32_t count = CMATManager::GetInstance()->GetMaterialCount();
  StoreSelection(index, count, static_cast<int32_t>(count));
}

CMATMaterial* MaterialWindow::SelectedMaterial() const {
  const CMATManager* materials = CMATManager::GetInstance();
  return HasEntry(materials->GetMaterialCount()) ? materials->GetMaterialAt(static_cast<uint32_t>(GetSelectedIndex()))
                                                 : nullptr;
}

void MaterialWindow::OnMessage(CMSGMessage* message) {
  DebugWindow::OnMessage(message);
  if (message->id != eMSG_Next && message->id != eMSG_Previous) return;
  if (IsVisible()) SelectMaterial(GetSelectedIndex() + (message->id == eMSG_Next ? 1 : -1));
  message->handled |= 1;
}

void MaterialWindow::DrawContents() {
  BeginContents(1, 1);
  CMATMaterial* material = SelectedMaterial();
  if (material == nullptr) {
    PrintMissing("No valid material found");
    return;
  }
  PushViewport(kNearPlane, kFarPlane);
  glTranslatef(0.0f, 0.0f, kDistance);
  GFXDisplay::SetRenderState(kRenderState);
  GFXDisplay::SetMaterialByIndex(static_cast<uint32_t>(GetSelectedIndex()));
  SpinView(Clock::Instance().GetRealDelta() * kSpinPerSecond);
  GFXDisplay::BindMaterialStage(0);
  GFXDisplay::DrawPreviewCube(Vector3(0.0f, 0.0f, 0.0f), kCubeSize);
  PopViewport();

  const int h = GetDebugCanvas().FontHeight(0);
  PrintfCell(0, h, h, "Material : %s", material->Name().Chars());
  PrintfCell(0, h, 2 * h, "Stages: %d", material->StageCount());
  for (int32_t i = 0; i < material->StageCount(); ++i) {
    const CMATStage* stage = material->GetStage(static_cast<uint32_t>(i));
    const String texture = stage != nullptr && stage->texture != nullptr ? stage->texture->GetFullName() : String("");
    PrintfCell(0, 2 * h, (3 + i) * h, "[%d] MAP : %s", i, texture.Chars());
  }
}

void MaterialWindow::SetDefaultFrame(int32_t fontIndex) { SetViewerFrame(fontIndex, Vector2(500, 300)); }
