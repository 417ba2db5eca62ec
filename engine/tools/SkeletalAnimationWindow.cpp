#include "engine/tools/SkeletalAnimationWindow.h"

#include "engine/tools/DebugCanvas.h"

SkeletalAnimationWindow::SkeletalAnimationWindow() { name = "Vyre Skeletal Animation"; }

SkeletalAnimationWindow::~SkeletalAnimationWindow() = default;

void SkeletalAnimationWindow::DrawContents() {
  BeginContents(1, 1);
  PrintCell("[ANM] None", 0, 0);
  PrintCell("[ANMSequence] None", 0, GetDebugCanvas().FontHeight(frameStyle));
}

void SkeletalAnimationWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(32, 0), Vector2(768, 168), kNoSlide);
}
