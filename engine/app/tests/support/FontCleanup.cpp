// The application's Create state adds the default font to the renderer's
// process-wide list; the fonts are destroyed before the leak check runs.

#include <gtest/gtest.h>

#include "engine/graphics/GFXDisplay.h"

// Nothing calls into this file: the app folder's build asks the linker for
// this symbol, so every test linking the app's test support takes the
// cleanup with it.
extern "C" {
int vyre_font_cleanup_anchor = 0;
}

namespace {

class FontCleanup : public ::testing::Environment {
 public:
  void TearDown() override { GFXDisplay::DeleteAllFonts(); }
};

const ::testing::Environment* const kFontCleanup = ::testing::AddGlobalTestEnvironment(new FontCleanup);

}  // namespace
