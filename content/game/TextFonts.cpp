#include "content/game/TextFonts.h"

#include "content/game/GameDataNames.h"
#include "content/kit/FontGrid.h"

namespace {

constexpr uint32_t kCell = 32;  // 16 x 16 cells make a 512 x 512 sheet

void WriteFont(DataFolder& folder, const std::string& fontPath, const std::string& sheet, uint32_t scale) {
  FontGrid grid(kCell);
  if (!RenderFontGrid(fontPath, kCell, &grid)) {
    folder.Fail();
    return;
  }
  folder.Picture(sheet, grid.image);
  const std::string base = sheet.substr(0, sheet.rfind('.'));
  folder.Text(base + ".fnt", FontText(sheet, scale, grid.widths));
}

}  // namespace

void WriteTextFonts(DataFolder& folder, const std::string& fontFolder) {
  WriteFont(folder, fontFolder + "/DejaVuSans.ttf", gamedata::kTextFonts[0], 21);
  WriteFont(folder, fontFolder + "/DejaVuSans-Bold.ttf", gamedata::kTextFonts[1], 32);
}
