// The game's puzzle scene: the discs its renderer shows, and the scene hook
// that draws it.

#include "engine/graphics/GFXLight.h"
#include "game/puzzle/EffectsPool.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/PuzzleRenderer.h"

void Game::ShowCurrentDiscs() {
  if (renderer == nullptr) return;
  for (size_t index = 0; index < discs.size() && currentDisc != nullptr; ++index) {
    if (discs[index].get() != currentDisc) continue;
    renderer->SetDiscs(&discs, static_cast<uint32_t>(index), static_cast<uint32_t>(discs.size() - index));
    return;
  }
  renderer->SetDiscs(nullptr, 0, 0);
}

void Game::OnDisplayRebuilt() {
  if (renderer != nullptr && CanDraw()) renderer->SetupScene();
}

int32_t Game::DrawPuzzleScene(int32_t) {
  // Headless games step their frames too: nothing reaches GL without a context.
  if (!CanDraw()) return 0;
  if (currentDisc != nullptr && renderer != nullptr) {
    GetLight(0)->Apply();
    renderer->DrawCurrent();
  }
  EffectsPool::Instance().Draw();
  return 0;
}
