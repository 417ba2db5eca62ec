#include "game/shell/ShellDrawing.h"

#include <GL/gl.h>

#include "engine/foundation/String.h"
#include "engine/foundation/Vector2.h"
#include "engine/foundation/Vector3.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/TextureManager.h"

namespace shell_draw {

void Picture(const CTEXTexture* texture, float x0, float y0, float x1, float y1) {
  GFXDisplay::SetRenderState(kPictureState);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  GFXDisplay::BindTexture(texture);
  GFXDisplay::DrawTexturedRect(Vector2(x0, y0), Vector2(x1, y1));
}

void FullScreenPicture(const char* textureName) {
  const CTEXTexture* texture = CTEXManager::GetInstance()->GetTexture(String(textureName));
  Picture(texture, 0.0f, 0.0f, GFXDisplay::kOverlayWidth, GFXDisplay::kOverlayHeight);
}

void Line(float x0, float x1, float y, const float rgba[4]) {
  GFXDisplay::SetRenderState(kLineState);
  glColor4fv(rgba);
  GFXDisplay::DrawLine(Vector3(x0, y, 0.0f), Vector3(x1, y, 0.0f), 1.0f);
}

}  // namespace shell_draw
