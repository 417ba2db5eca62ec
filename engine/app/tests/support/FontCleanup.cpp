// The application's Create state adds the default font to the renderer's
// process-wide list; the fonts are destroyed before the leak check runs.

#include "engine/graphics/GFXDisplay.h"

#include <gtest/gtest.h>

namespace {

class FontCleanup : public ::testing::Environment {
 public:
  void TearDown() override { GFXDisplay::DeleteAllFonts(); }
};

const ::testing::Environment* const kFontCleanup = ::testing::AddGlobalTestEnvironment(new FontCleanup);

}  // namespace
