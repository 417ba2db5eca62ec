#include "engine/tools/DBGEngineLinks.h"

DBGEngineLinks& GetEngineLinks() {
  static DBGEngineLinks links;
  return links;
}
