// The game's HUD: made by the game states that play, dropped with the game.

#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"
#include "game/puzzle/Game.h"
#include "game/puzzle/GameHud.h"

void Game::CreateHud() {
  DestroyHud();
  hud = new GameHud(&services);
  if (hud == nullptr) return;
  hudReceiverId = hud->GetId();
  hud->profile = profile.get();
  // Activated by its default frame, then shown.
  hud->SetDefaultFrame(0);
  GetGUIMSGService()->Post(eMSG_GUISHOW, receiverId, hudReceiverId, 0, 0.0);
}

void Game::DestroyHud() {
  delete hud;
  hud = nullptr;
  hudReceiverId = -1;
}
