#include <gtest/gtest.h>

#include "engine/graphics/RenderState.h"
#include "engine/runtime/console/VariableRegistry.h"

TEST(RenderFlags, PrintsSetNamesJoinedByBars) {
  EXPECT_EQ(GFXDisplay::RenderFlagsToText(0x82c), "SOLID|TEXTURED|DEPTHTEST|CULLBACK");
  EXPECT_EQ(GFXDisplay::RenderFlagsToText(0xC0040000), "TAG_STATE|OVERIDE");  // bit 18 has no name
  EXPECT_EQ(GFXDisplay::RenderFlagsToText(0), "");
  EXPECT_STREQ(GFXDisplay::RenderFlagName(31), "OVERIDE");
  EXPECT_STREQ(GFXDisplay::RenderFlagName(32), "");
}

TEST(RenderFlags, WindingVariableSetsTheFlag) {
  GFXDisplay::RegisterRenderStateVariables();
  CConsoleVariable* winding = CVariableRegistry::Get()->Find(String("gfx:winding"));
  ASSERT_NE(winding, nullptr);
  EXPECT_EQ(winding->type, kCVarBool);
  winding->FromString(String("1"));
  EXPECT_EQ(GFXDisplay::WindingFlag(), 1);
  winding->FromString(String("false"));
  EXPECT_EQ(GFXDisplay::WindingFlag(), 0);
}
