#include "content/kit/DefaultData.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <vector>

#include "content/kit/FontGrid.h"
#include "content/kit/PngWriter.h"
#include "content/kit/TgaWriter.h"
#include "content/kit/ToolIcons.h"

namespace {

constexpr uint8_t kWhite[4] = {255, 255, 255, 255};
constexpr uint8_t kFrameEdge[4] = {150, 170, 210, 255};
constexpr uint8_t kFrameFill[4] = {30, 40, 70, 200};
constexpr uint8_t kIconFill[4] = {60, 70, 100, 255};

// Magenta and grey squares: plainly a missing texture wherever it shows.
Image DefaultTexture() {
  Image image(64, 64);
  const uint8_t magenta[4] = {255, 0, 255, 255}, grey[4] = {64, 64, 64, 255};
  for (int y = 0; y < 64; y += 8) {
    for (int x = 0; x < 64; x += 8) image.Fill(x, y, 8, 8, ((x + y) / 8) % 2 ? grey : magenta);
  }
  return image;
}

// A translucent panel with a light two-pixel border.
Image WindowFrame() {
  Image image(64, 64);
  image.Fill(0, 0, 64, 64, kFrameEdge);
  image.Fill(2, 2, 60, 60, kFrameFill);
  return image;
}

// A small button face with a symbol drawn by the caller.
Image IconBase() {
  Image image(16, 16);
  image.Fill(0, 0, 16, 16, kFrameEdge);
  image.Fill(1, 1, 14, 14, kIconFill);
  return image;
}

Image CloseIcon() {
  Image image = IconBase();
  for (int i = 4; i < 12; ++i) {
    image.Fill(i, i, 1, 1, kWhite);
    image.Fill(15 - i, i, 1, 1, kWhite);
  }
  return image;
}

Image MinimiseIcon() {
  Image image = IconBase();
  image.Fill(4, 10, 8, 2, kWhite);
  return image;
}

Image MaximiseIcon() {
  Image image = IconBase();
  image.Fill(4, 4, 8, 8, kWhite);
  image.Fill(5, 6, 6, 5, kIconFill);
  return image;
}

Image UpArrowIcon() {
  Image image = IconBase();
  for (int row = 0; row < 5; ++row) image.Fill(7 - row, 5 + row, 2 + 2 * row, 1, kWhite);
  return image;
}

Image ScrollThumb() {
  Image image(16, 16);
  image.Fill(0, 0, 16, 16, kFrameEdge);
  image.Fill(2, 2, 12, 12, kWhite);
  return image;
}

// A white arrow with a dark outline, its tip at the top left.
Image MouseCursor() {
  Image image(32, 32);
  const uint8_t outline[4] = {0, 0, 0, 255};
  for (int row = 0; row < 20; ++row) {
    const int width = row < 14 ? row + 1 : 14 - (row - 14) * 2;
    if (width <= 0) break;
    image.Fill(0, row, width + 1, 1, outline);
    if (width > 1) image.Fill(1, row, width - 1, 1, kWhite);
  }
  return image;
}

// Grey tiles with light lines on their edges.
Image GroundPlane() {
  Image image(128, 128);
  const uint8_t tile[4] = {90, 90, 90, 255}, line[4] = {200, 200, 200, 255};
  image.Fill(0, 0, 128, 128, tile);
  for (int i = 0; i < 128; i += 32) {
    image.Fill(i, 0, 1, 128, line);
    image.Fill(0, i, 128, 1, line);
  }
  return image;
}

// The engine's mark: a white V on a dark blue disc with a light rim.
Image EngineLogo() {
  Image image(64, 64);
  const uint8_t disc[4] = {20, 30, 90, 220}, rim[4] = {150, 170, 230, 255};
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const float dx = x - 31.5f, dy = y - 31.5f;
      const float distance = dx * dx + dy * dy;
      if (distance < 29.0f * 29.0f)
        image.Fill(x, y, 1, 1, disc);
      else if (distance < 31.0f * 31.0f)
        image.Fill(x, y, 1, 1, rim);
    }
  }
  // Two strokes meeting at the bottom, four pixels wide.
  for (int row = 0; row < 32; ++row) {
    const int inset = row / 2;
    image.Fill(16 + inset, 16 + row, 4, 1, kWhite);
    image.Fill(44 - inset, 16 + row, 4, 1, kWhite);
  }
  return image;
}

// The maker's mark: three translucent bars rising to the right.
Image MakerLogo() {
  Image image(64, 64);
  const uint8_t bar[4] = {230, 230, 230, 160};
  for (int i = 0; i < 3; ++i) {
    const int height = 20 + i * 14;
    image.Fill(8 + i * 18, 56 - height, 12, height, bar);
  }
  return image;
}

// One material block: the picture blended over what is behind it.
std::string BlendedMaterial(const std::string& picture) {
  std::string name = picture;
  for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
  return name + "\n{\n\t{\n\t\tMAP " + picture + "\n\t\tBLEND\n\t}\n}\n";
}

}  // namespace

bool MakeDefaultData(const std::string& runFolder, const std::string& fontPath) {
  const std::string root = runFolder + "/";
  bool ok = WriteTga(root + "Textures/TEXDefault.TGA", DefaultTexture());

  FontGrid font(16);
  if (RenderFontGrid(fontPath, 16, &font)) {
    ok = WritePng(root + "Fonts/NewDefault.png", font.image) && ok;
    const std::string text = FontText("Fonts/NewDefault.png", 16, font.widths);
    ok = WriteBytes(root + "Fonts/NewDefault.fnt", std::vector<uint8_t>(text.begin(), text.end())) && ok;
  } else {
    ok = false;
  }

  struct Picture {
    const char* name;  // as the engine asks for it
    Image image;
  };
  const Picture pictures[] = {
      {"Frames/MainWindow.png", WindowFrame()},
      {"Icons/Close.png", CloseIcon()},
      {"Icons/Minimise.png", MinimiseIcon()},
      {"Icons/Maximise.png", MaximiseIcon()},
      {"Icons/UpArrow.png", UpArrowIcon()},
      {"Icons/ScrollThumb.png", ScrollThumb()},
      {"Icons/MouseCursor.png", MouseCursor()},
      {"Misc/GroundPlane.png", GroundPlane()},
      {"Materials/textures/logos/velksw_translucent.png", MakerLogo()},
      {"Materials/textures/logos/Vyrelogo.png", EngineLogo()},
  };
  std::string library;
  for (const Picture& picture : pictures) {
    // The texture manager looks under "Textures/" for names like these.
    ok = WritePng(root + "Textures/" + picture.name, picture.image) && ok;
    // The application makes the ground and logo materials itself, by picture name.
    const std::string name = picture.name;
    if (name.rfind("Misc/", 0) != 0 && name.rfind("Materials/", 0) != 0) library += BlendedMaterial(name);
  }
  std::vector<std::string> toolPictures;
  ok = MakeToolIcons(runFolder, &toolPictures) && ok;
  for (const std::string& name : toolPictures) library += BlendedMaterial(name);
  ok = WriteBytes(root + "Vyre/Textures/GUI/Materials.txt", std::vector<uint8_t>(library.begin(), library.end())) && ok;
  return ok;
}
