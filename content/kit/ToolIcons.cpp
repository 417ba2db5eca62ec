#include "content/kit/ToolIcons.h"

#include "content/kit/Image.h"
#include "content/kit/PngWriter.h"

namespace {

constexpr uint8_t kEdge[4] = {150, 170, 210, 255};
constexpr uint8_t kFace[4] = {60, 70, 100, 255};
constexpr uint8_t kWhite[4] = {255, 255, 255, 255};

// A 32-unit button face with a coloured block of its own, so buttons differ.
Image ButtonIcon(int index) {
  Image image(32, 32);
  image.Fill(0, 0, 32, 32, kEdge);
  image.Fill(2, 2, 28, 28, kFace);
  const uint8_t mark[4] = {uint8_t(80 + (index * 53) % 176), uint8_t(80 + (index * 97) % 176),
                           uint8_t(80 + (index * 31) % 176), 255};
  image.Fill(8, 8, 16, 16, mark);
  image.Fill(8 + (index % 4) * 4, 14, 4, 4, kWhite);
  return image;
}

// The explorer's 16-unit squares: a plus or a minus.
Image SignIcon(bool plus) {
  Image image(16, 16);
  image.Fill(0, 0, 16, 16, kEdge);
  image.Fill(1, 1, 14, 14, kFace);
  image.Fill(3, 7, 10, 2, kWhite);
  if (plus) image.Fill(7, 3, 2, 10, kWhite);
  return image;
}

// An overlay marker: a bright ring on a clear ground.
Image MarkerIcon(const uint8_t colour[4]) {
  Image image(32, 32);
  image.Fill(4, 4, 24, 24, colour);
  const uint8_t clear[4] = {0, 0, 0, 0};
  image.Fill(8, 8, 16, 16, clear);
  return image;
}

}  // namespace

bool MakeToolIcons(const std::string& runFolder, std::vector<std::string>* blended) {
  const std::string root = runFolder + "/";
  const char* const buttons[] = {
      "Icons/Notepad.png",    "Icons/Bug.png",   "Icons/Profiler.png",   "Icons/Camera.png",       "Icons/Gamepad.png",
      "Icons/Keyboard.png",   "Icons/Mouse.png", "Icons/MemoryChip.png", "Icons/QuestionMark.png", "Icons/Windows.png",
      "Icons/Scene.png",      "Icons/Mail.png",  "Icons/Sound.png",      "Icons/Cube.png",         "Icons/Explorer.png",
      "Icons/Television.png", "Icons/Vyre.png",
  };
  bool ok = true;
  int index = 0;
  for (const char* name : buttons) {
    // The texture manager looks under "Textures/" for names like these.
    ok = WritePng(root + "Textures/" + name, ButtonIcon(index++)) && ok;
    if (blended != nullptr) blended->push_back(name);
  }
  // The explorer asks for these by their whole path.
  ok = WritePng(root + "Resources/Textures/Icons/Plus.png", SignIcon(true)) && ok;
  ok = WritePng(root + "Resources/Textures/Icons/Minus.png", SignIcon(false)) && ok;
  const struct {
    const char* file;
    uint8_t colour[4];
  } markers[] = {{"camera.png", {90, 200, 255, 255}},
                 {"SceneNode.png", {200, 200, 200, 255}},
                 {"ParticleSystems.png", {255, 150, 60, 255}},
                 {"Light.png", {255, 240, 90, 255}},
                 {"SoundEffect.png", {150, 255, 150, 255}}};
  for (const auto& marker : markers) {
    ok = WritePng(root + "Textures/Materials/textures/hud/icons/" + marker.file, MarkerIcon(marker.colour)) && ok;
  }
  return ok;
}
