#include "game/puzzle/Constellation.h"

#include <algorithm>
#include <cstdio>

#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "game/puzzle/ChallengeText.h"
#include "game/rules/GameRandom.h"

namespace {

constexpr const char* kCompletedStarMaterial = "CompletedStar";
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
  char line[kChallengeLineCapacity];
  bool ended = false;
  ReadProgress progress;
  while (ReadChallengeLine(file, line)) {
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
  char text[kChallengeNameCapacity];
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
