#include "engine/graphics/RenderState.h"
#include "engine/runtime/console/VariableRegistry.h"

namespace GFXDisplay {

void RegisterRenderStateVariables() {
  CVariableRegistry::Get()->Register(String("gfx:winding"), kCVarBool, &WindingFlag(),
                                     String("[ 0 = CW / 1 = CCW] Controls triangle winding direction"));
}

}  // namespace GFXDisplay
