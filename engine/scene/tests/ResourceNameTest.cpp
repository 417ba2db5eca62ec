#include <gtest/gtest.h>

#include "engine/scene/core/ResourceName.h"

TEST(ResourceName, UpperCaseAndExtension) {
  struct Case {
    const char* name;
    const char* upper;
    const char* extension;
  };
  const Case cases[] = {
      {"models/Crate.3me", "MODELS/CRATE.3ME", "3ME"},
      {"Walk.txt", "WALK.TXT", "TXT"},
      {"ab", "AB", "AB"},  // shorter than an extension: the whole name
      {"", "", ""},
      {"caf\xe9.txt", "CAF\xe9.TXT", "TXT"},  // bytes past ASCII are kept
  };
  for (const Case& c : cases) {
    const std::string upper = UpperAscii(c.name);
    EXPECT_EQ(upper, c.upper) << c.name;
    EXPECT_EQ(NameExtension(upper), c.extension) << c.name;
  }
}
