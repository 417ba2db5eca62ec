// The application's answer to the developer console's phrases.

#include "engine/app/GEMApplication.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/tools/DBGSystemWindow.h"

void CGEMApplication::HandleConsolePhrase() {
  if (developerWindow == nullptr) return;
  DBGConsoleLine& line = developerWindow->consoleLine;
  if (line.command == "HIDE" && line.argument == "3ME") {
    options.modelViewer = 0;
    line.handled = 1;
  } else if (line.command == "GET" && line.argument == "SETTINGS") {
    if (services_.settings != nullptr) services_.settings->Dump();
    line.handled = 1;
  }
}
