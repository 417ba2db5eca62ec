#include "engine/tools/TextureWindow.h"

#include <GL/gl.h>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/TextureManager.h"

namespace {

constexpr float kDistance = -10.0f;
constexpr uint32_t kRenderState = 0x280C;
constexpr float kSpinStep = 0.125f;
constexpr float kCubeSize = 5.0f;

}  // namespace

TextureWindow::TextureWindow() { name = "Vyre Texture"; }

TextureWindow::~TextureWindow() = default;

void TextureWindow::SelectTexture(int32_t index) {
  const uint32_t count = CTEXManager::GetInstance()->TextureCount();
  StoreSelection(index, count, static_cast<int32_t>(count) - 1);
}

CTEXTexture* TextureWindow::SelectedTexture() const {
  const CTEXManager* textures = CTEXManager::GetInstance();
  return HasEntry(textures->TextureCount()) ? textures->TextureAt(static_cast<uint32_t>(GetSelectedIndex())) : nullptr;
}

void TextureWindow::DrawContents() {
  BeginContents(1, 1);
  const CTEXTexture* texture = SelectedTexture();
  if (texture == nullptr) {
    PrintMissing("No valid texture found");
    return;
  }
  PushViewport(kNearPlane, kFarPlane);
  glTranslatef(0.0f, 0.0f, kDistance);
  GFXDisplay::SetRenderState(kRenderState);
  SpinView(kSpinStep);
  GFXDisplay::BindTexture(texture);
  GFXDisplay::DrawPreviewCube(Vector3(0.0f, 0.0f, 0.0f), kCubeSize);
  PopViewport();
}

void TextureWindow::SetDefaultFrame(int32_t fontIndex) { SetViewerFrame(fontIndex, Vector2(500, 300)); }
