#include "engine/tools/FrustumWindow.h"

FrustumWindow::FrustumWindow() { name = "Vyre Frustum"; }

FrustumWindow::~FrustumWindow() = default;

void FrustumWindow::DrawContents() { BeginContents(1, 1); }

void FrustumWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(500, 149), Vector2(300, 164), kRight);
}
