#include "engine/scene/model/ReservePolicy.h"

C3MEReservePolicy& CurrentReservePolicy() {
  static C3MEReservePolicy policy;
  return policy;
}
