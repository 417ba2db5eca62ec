#include <gtest/gtest.h>

#include "engine/graphics/RenderState.h"

TEST(RenderFlags, PrintsSetNamesJoinedByBars) {
  EXPECT_EQ(GFXDisplay::RenderFlagsToText(0x82c), "SOLID|TEXTURED|DEPTHTEST|CULLBACK");
  EXPECT_EQ(GFXDisplay::RenderFlagsToText(0xC0040000), "TAG_STATE|OVERIDE");  // bit 18 has no name
  EXPECT_EQ(GFXDisplay::RenderFlagsToText(0), "");
  EXPECT_STREQ(GFXDisplay::RenderFlagName(31), "OVERIDE");
  EXPECT_STREQ(GFXDisplay::RenderFlagName(32), "");
}
