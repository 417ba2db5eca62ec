#include "engine/app/PrepareSettings.h"

void PrepareSettings(const String& title, const String& iniName) {
  CSettings* settings = GetSettings();
  settings->SetTitle(title);
  settings->SetIniName(iniName);
  settings->Load(true);
  // Setting the title marked them changed; nothing has changed yet.
  settings->modified = false;
}
