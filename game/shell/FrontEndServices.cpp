#include "game/shell/FrontEndServices.h"

#include "game/shell/GFrontEnd.h"

void FrontEndServices::ShowPauseMenu() {
  if (GFrontEnd* frontEnd = GetGFrontEnd()) frontEnd->ShowPauseMenu(true);
}

bool FrontEndServices::IsPauseMenuShowing() const {
  const GFrontEnd* frontEnd = GetGFrontEnd();
  return frontEnd != nullptr && frontEnd->IsPauseMenuShowing();
}
