// Drawing of a GUI element through the renderer.

#include <GL/gl.h>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/RenderState.h"
#include "engine/gui/GUIObject.h"
#include "engine/runtime/display/Display.h"

namespace {

constexpr GFXRenderFlags kOutlineState = 0x2002;
const float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};

void OutlinePiece(const Rect& piece) {
  const GFXRenderFlags previous = GFXDisplay::GetRenderState();
  GFXDisplay::SetRenderState(kOutlineState);
  glColor4f(1.0f, 0.0f, 1.0f, 0.5f);
  glLineWidth(2.0f);
  GFXDisplay::DrawRectOutline2D(piece.min, piece.max);
  glLineWidth(1.0f);
  GFXDisplay::SetRenderState(previous);
  glColor4fv(kWhite);
}

Rect PieceRect(float x0, float y0, float x1, float y1) {
  Rect rect;
  rect.min = {x0, y0};
  rect.max = {x1, y1};
  rect.centre = {(x0 + x1) / 2, (y0 + y1) / 2};
  return rect;
}

}  // namespace

void GUIObject::Draw() {
  if (!HasState(GUIState::kShown)) return;
  glColor4fv(kWhite);
  if (style & GUIStyle::kFrame) {
    if (frameMaterial != nullptr) {
      const float xs[4] = {outer.min.x, inner.min.x, inner.max.x, outer.max.x};
      const float ys[4] = {outer.min.y, inner.min.y, inner.max.y, outer.max.y};
      GFXDisplay::SetMaterial(frameMaterial);
      const int passes = GFXDisplay::PassCount(frameMaterial);
      for (int pass = 0; pass < passes; ++pass) {
        GFXDisplay::BindMaterialStage(pass);
        glColor4fv(kWhite);
        for (int row = 0; row < 3; ++row) {
          for (int column = 0; column < 3; ++column) {
            Rect piece = PieceRect(xs[column], ys[row], xs[column + 1], ys[row + 1]);
            GFXDisplay::DrawTexturedRect2D(piece, pieceUV[row * 3 + column]);
            if (outlinePieces) OutlinePiece(piece);
          }
        }
      }
    }
  } else if (style & GUIStyle::kImage) {
    // A missing image leaves nothing drawn for that material.
    if (overlayMaterial != nullptr) {
      GFXDisplay::SetMaterial(overlayMaterial);
      const int passes = GFXDisplay::PassCount(overlayMaterial);
      for (int pass = 0; pass < passes; ++pass) {
        GFXDisplay::BindMaterialStage(pass);
        glColor4fv(kWhite);
        GFXDisplay::DrawTexturedRect2D(outer, imageUV);
        if (outlinePieces) OutlinePiece(outer);
      }
    }
  }
  if ((style & GUIStyle::kOverlay) && overlayMaterial != nullptr) {
    GFXDisplay::SetMaterial(overlayMaterial);
    GFXDisplay::BindMaterialStage(0);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glRotatef(overlayRotation, 0.0f, 0.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    GFXDisplay::DrawTexturedRect2D(outer, imageUV);
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
  }
  if ((style & GUIStyle::kContents) == 0) return;
  glPushMatrix();
  ++GFXDisplay::ModelviewNesting();
  if (style & GUIStyle::kClip) {
    glGetIntegerv(GL_SCISSOR_BOX, savedScissor);
    CDisplay* display = GetDisplay();
    int box[4];
    ContentScissor(contentAnchor, contentExtent, display->GetWidth(), display->GetHeight(), box);
    glScissor(box[0], box[1], box[2], box[3]);
  }
  const Rect& hit = HitRect();
  glTranslatef(hit.min.x, hit.min.y, 0.0f);
  glTranslatef(scrollX, scrollY, 0.0f);
  if (renderFunction != nullptr) {
    renderFunction->Render(this);
  } else {
    DrawContents();
  }
  if (style & GUIStyle::kClip) glScissor(savedScissor[0], savedScissor[1], savedScissor[2], savedScissor[3]);
  --GFXDisplay::ModelviewNesting();
  glPopMatrix();
}
