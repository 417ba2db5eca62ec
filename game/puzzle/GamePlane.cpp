#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/Game.h"

GalacticPlane* Game::CreateGalacticPlane() {
  DestroyGalacticPlane();
  galacticPlane = new GalacticPlane();
  galacticPlane->Create();
  return galacticPlane;
}

void Game::DestroyGalacticPlane() {
  delete galacticPlane;
  galacticPlane = nullptr;
}
