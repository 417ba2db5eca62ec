#include "game/puzzle/Constellation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "game/puzzle/GalacticPlane.h"
#include "game/puzzle/GameRandom.h"

namespace {

constexpr const char* kDefinitionFolder = "Resources/Boards/Challenge/";
constexpr const char* kDefinitionExtension = ".definition.txt";
constexpr const char* kCompletedStarMaterial = "CompletedStar";
// Longer lines are cut; the rest of such a line is skipped, not read as a
// line of its own.
constexpr size_t kLineCapacity = 512;
// Names are cut to this many characters (the scan widths below say it too).
constexpr size_t kNameCapacity = 256;

// Reads the next line into buffer; false at the end of the file.
bool ReadTextLine(File& file, char (&buffer)[kLineCapacity]) {
  const size_t stored = file.ReadChars(buffer, kLineCapacity);
  if (stored == 0) return false;
  if (buffer[stored - 1] != '\n' && stored + 1 == kLineCapacity) {
    char rest[kLineCapacity];
    size_t more = 0;
    while ((more = file.ReadChars(rest, sizeof rest)) > 0 && rest[more - 1] != '\n') {
    }
  }
  return true;
}

bool HasKey(const char* line, const char* key) { return std::strstr(line, key) != nullptr; }

// A name read to the end of its line, without trailing blanks or CR, so a
// CRLF file names the same boards, images and HUD text.
String TrimmedName(const char* scanned) {
  String name(scanned);
  name.TrimRight();
  return name;
}

CMATMaterial* MaterialNamed(const String& name) { return CMATManager::GetInstance()->GetMaterial(name); }

constexpr uint32_t kTwinkleColumns = 3;
constexpr uint32_t kTwinkleRows = 2;
// The stepper runs over 0 to 6 and wraps; the grid has six cells.
constexpr float kTwinkleLastFrame = 6.0f;
constexpr int kTwinkleStartFrames = 5;
constexpr float kTwinkleFramesPerSecond = 10.0f;
constexpr float kPanSeconds = 1.0f;
constexpr float kSizeEasing = 0.9f;
// Closer than this, the size snaps to its target.
constexpr float kSizeSnap = 0.0000125f;

}  // namespace

void PlayCompletedStar(GFXFlipbook& flipbook, CMATMaterial* material, float dt) {
  if (flipbook.mode == GFXFlipbook::kOff) {
    CMATStage* stage = material != nullptr ? material->GetStage(0) : nullptr;
    flipbook.SetGrid(stage != nullptr ? stage->texture : nullptr, kTwinkleColumns, kTwinkleRows);
    const float startFrame = static_cast<float>(platform::NextRandom() % kTwinkleStartFrames);
    flipbook.SetStepper(ValueStepper::kWrap, 0.0f, kTwinkleLastFrame, startFrame,
                        (1.0f + RandomFraction()) * kTwinkleFramesPerSecond);
  }
  flipbook.active = true;
  flipbook.Update(dt);
}

Constellation::Constellation() { Clear(); }

Constellation::~Constellation() { Clear(); }

void Constellation::Clear() {
  starCount = 0;
  completed = 0;
  parTotalSeconds = 0.0f;
  stars.clear();
  stars.shrink_to_fit();
  silhouette = nullptr;
  outline = nullptr;
  completedStarMaterial = nullptr;
  name = "";
  definitionRead = false;
  sprite.reset();
  size = Vector3(kDefaultSize, 0.0f, kDefaultSize);
  targetSize = size;
}

void Constellation::CompleteStar() {
  ++completed;
  pan.Set(AnimChannel::kSmoothRise, false, 0.0f, 1.0f, kPanSeconds);
}

bool Constellation::PanToCurrentStar(float dt) {
  if (completed >= stars.size()) return true;
  const Vector2& star = stars[completed].position;
  const Vector3 target(star.x * size.x, 0.0f, star.y * size.z);
  const float along = pan.Update(dt);
  viewCentre = panStart + (target - panStart) * along;
  if (!pan.Finished()) return false;
  viewCentre = target;
  panStart = viewCentre;
  return true;
}

bool Constellation::EaseSize(float dt) {
  const Vector3 difference = targetSize - size;
  const Vector3 before = size;
  size += difference * (dt * kSizeEasing);
  // Near a large target the step can fall below the floats' resolution
  // while still above the snap distance: a size that stopped moving snaps.
  const bool stalled = size.x == before.x && size.y == before.y && size.z == before.z;
  if (difference.Length() >= kSizeSnap && !stalled) return false;
  size = targetSize;
  return true;
}

void Constellation::UpdateCompletedStars(float dt) {
  const size_t lit = std::min<size_t>(completed, stars.size());
  for (size_t i = 0; i < lit; ++i) {
    // A star the file declared but never described has no flip-book yet.
    if (!stars[i].flipbook) stars[i].flipbook = std::make_unique<GFXFlipbook>();
    PlayCompletedStar(*stars[i].flipbook, completedStarMaterial, dt);
  }
}

bool Constellation::Read(const char* path) {
  Clear();
  definitionPath = path;
  File file;
  file.OpenRead(path);
  if (!file.IsOpen()) {
    LogError("Cannot open constellation %s", path);
    return false;
  }
  char line[kLineCapacity];
  bool ended = false;
  ReadProgress progress;
  while (ReadTextLine(file, line)) {
    ended = HasKey(line, "[END]");
    if (ended) break;
    if (!ReadDefinitionLine(line, progress)) {
      LogError("Constellation %s refused", path);
      Clear();
      return false;
    }
  }
  completedStarMaterial = MaterialNamed(String(kCompletedStarMaterial));
  sprite = std::make_unique<GFXSprite>();
  if (!ended) LogError("Constellation %s ends without [END]", path);
  definitionRead = ended;
  return ended;
}

bool Constellation::ReadDefinitionLine(const char* line, ReadProgress& progress) {
  char text[kNameCapacity];
  if (HasKey(line, "[NAME]")) {
    if (std::sscanf(line, "[NAME] %255[^\n]", text) == 1) name = TrimmedName(text);
  } else if (HasKey(line, "[SILOHUETTE]")) {
    if (std::sscanf(line, "[SILOHUETTE] %255[^\n]", text) == 1) silhouette = MaterialNamed(TrimmedName(text));
  } else if (HasKey(line, "[OUTLINE]")) {
    if (std::sscanf(line, "[OUTLINE] %255[^\n]", text) == 1) outline = MaterialNamed(TrimmedName(text));
  } else if (HasKey(line, "[SYMBOL]")) {
    // The symbol has no use in the game.
  } else if (HasKey(line, "[STARS]")) {
    int count = 0;
    // A second count would allocate the stars again under the first ones.
    if (progress.countSeen || std::sscanf(line, "[STARS] %d", &count) != 1) return true;
    progress.countSeen = true;
    if (count > kMaxStars) {
      LogError("A constellation of %d stars is more than the %d discs a board holds", count, kMaxStars);
      return false;
    }
    if (count > 0) {
      starCount = static_cast<uint32_t>(count);
      stars.resize(starCount);
    }
  } else if (HasKey(line, "[STAR]")) {
    int x = 0;
    int y = 0;
    float unused = 0.0f;
    int minutes = 0;
    int seconds = 0;
    // Lines before the count, or beyond it, have no star to fill.
    if (progress.starsFilled >= starCount) return true;
    if (std::sscanf(line, " [STAR] (%d,%d) %f %d:%d", &x, &y, &unused, &minutes, &seconds) != 5) return true;
    ConstellationStar& star = stars[progress.starsFilled++];
    star.position = Vector2(static_cast<float>(x) / kStarUnits, static_cast<float>(y) / kStarUnits);
    // Counted in floats: a hostile minute count cannot overflow.
    star.parSeconds = static_cast<float>(minutes) * 60.0f + static_cast<float>(seconds);
    star.flipbook = std::make_unique<GFXFlipbook>();
    parTotalSeconds += star.parSeconds;
  }
  return true;
}

bool Constellation::ReadSet(GalacticPlane& plane, const char* path) {
  plane.constellations.clear();
  plane.constellationCount = 0;
  File file;
  file.OpenRead(path);
  if (!file.IsOpen()) {
    LogError("Cannot open the constellation list %s", path);
    return false;
  }
  char line[kLineCapacity];
  char text[kNameCapacity];
  bool ended = false;
  bool countSeen = false;
  uint32_t read = 0;
  while (ReadTextLine(file, line)) {
    ended = HasKey(line, "[END]");
    if (ended) break;
    if (HasKey(line, "[CONSTELLATIONS]")) {
      int count = 0;
      if (countSeen || std::sscanf(line, "[CONSTELLATIONS] %d", &count) != 1) continue;
      countSeen = true;
      if (count > kMaxConstellations) {
        LogError("The constellation list %s declares %d constellations (at most %d)", path, count, kMaxConstellations);
        return false;
      }
      if (count > 0) {
        plane.constellationCount = static_cast<uint32_t>(count);
        plane.constellations.resize(plane.constellationCount);
      }
    } else if (HasKey(line, "[CONSTELLATION]")) {
      if (read >= plane.constellationCount || std::sscanf(line, "[CONSTELLATION] %255[^\n]", text) != 1) continue;
      const std::string definition = std::string(kDefinitionFolder) + TrimmedName(text).Chars() + kDefinitionExtension;
      // A definition that fails leaves its record empty; the list goes on.
      plane.constellations[read++].Read(definition.c_str());
    }
  }
  if (!ended) {
    LogError("The constellation list %s ends without [END]", path);
    return false;
  }
  if (plane.constellations.empty()) {
    LogError("The constellation list %s names no constellations", path);
    return false;
  }
  return true;
}
