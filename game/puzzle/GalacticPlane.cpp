#include "game/puzzle/GalacticPlane.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "engine/effects/Particle.h"
#include "engine/effects/ParticleManager.h"
#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/Maths.h"
#include "engine/graphics/MaterialManager.h"
#include "game/puzzle/ChallengeText.h"
#include "game/puzzle/EffectsPool.h"
#include "game/rules/GameRandom.h"

namespace {

constexpr const char* kDefinitionFolder = "Resources/Boards/Challenge/";
constexpr const char* kDefinitionExtension = ".definition.txt";
constexpr int32_t kStarFieldEmitter = 4;
constexpr float kFullTurn = 360.0f;
// Degrees a second the galaxy turns.
constexpr float kSpinRate = 1.5f;
// Markers land in a 20 degree arc from 265 degrees.
constexpr float kMarkerArcStart = 265.0f;
constexpr float kMarkerArc = 20.0f;
constexpr float kMarkerMinSize = 0.25f;
constexpr float kMarkerMaxSize = 1.0f;

float RandomSigned() { return RandomFraction() * 2.0f - 1.0f; }

CMATMaterial* MaterialNamed(const char* name) { return CMATManager::GetInstance()->GetMaterial(name); }

}  // namespace

GalacticPlane::~GalacticPlane() { Destroy(); }

void GalacticPlane::Create() {
  Destroy();
  radius = kDefaultRadius;
  spin.Set(ValueStepper::kWrap, 0.0f, kFullTurn, 0.0f, 0.0f);
  starFieldController = CameraController();
  material = MaterialNamed("GalacticPlane");
  current = -1;
  BuildStarField();
}

void GalacticPlane::Destroy() {
  constellations.clear();
  constellationCount = 0;
  DestroyMarkers();
}

bool GalacticPlane::ReadConstellations(const char* path) {
  constellations.clear();
  constellationCount = 0;
  File file;
  file.OpenRead(path);
  if (!file.IsOpen()) {
    LogError("Cannot open the constellation list %s", path);
    return false;
  }
  char line[kChallengeLineCapacity];
  char text[kChallengeNameCapacity];
  bool ended = false;
  bool countSeen = false;
  uint32_t read = 0;
  while (ReadChallengeLine(file, line)) {
    ended = HasKey(line, "[END]");
    if (ended) break;
    if (HasKey(line, "[CONSTELLATIONS]")) {
      int count = 0;
      if (countSeen || std::sscanf(line, "[CONSTELLATIONS] %d", &count) != 1) continue;
      countSeen = true;
      if (count > Constellation::kMaxConstellations) {
        LogError("The constellation list %s declares %d constellations (at most %d)", path, count,
                 Constellation::kMaxConstellations);
        return false;
      }
      if (count > 0) {
        constellationCount = static_cast<uint32_t>(count);
        constellations.resize(constellationCount);
      }
    } else if (HasKey(line, "[CONSTELLATION]")) {
      if (read >= constellationCount || std::sscanf(line, "[CONSTELLATION] %255[^\n]", text) != 1) continue;
      const std::string definition = std::string(kDefinitionFolder) + TrimmedName(text).Chars() + kDefinitionExtension;
      // A definition that fails leaves its record empty; the list goes on.
      constellations[read++].Read(definition.c_str());
    }
  }
  if (!ended) {
    LogError("The constellation list %s ends without [END]", path);
    return false;
  }
  if (constellations.empty()) {
    LogError("The constellation list %s names no constellations", path);
    return false;
  }
  return true;
}

std::unique_ptr<GalacticPlane> MakeGalacticPlane(const char* constellationList) {
  auto plane = std::make_unique<GalacticPlane>();
  plane->Create();
  if (constellationList != nullptr) plane->ReadConstellations(constellationList);
  return plane;
}

void GalacticPlane::BuildStarField() {
  ParticleManager* field = EffectsPool::Instance().Particles(kStarFieldSlot);
  if (field == nullptr) return;
  // The plane draws the field itself, scaled to the backdrop.
  field->hidden = true;
  field->Create(kFieldStars);
  field->emitterType = kStarFieldEmitter;
  field->gravity = 0.0f;
  field->gravityDirection = Vector3();
  field->wind = 0.0f;
  field->windDirection = Vector3();
  field->emitRate = static_cast<float>(kFieldStars);
  field->fadeOn = false;
  field->fadeTime = 0.0f;
  // A lifespan of 0 never ages a particle: the field stays as built.
  field->lifespan = 0.0f;
  field->maxSpeed = 0.0f;
  field->KillAll();
  // Spawned at once: emission is rate-limited and stops with the clock.
  field->SpawnMany(kFieldStars);
  for (int32_t i = 0; i < field->LiveCount(); ++i) {
    Particle& star = *field->GetLive(i);
    Vector3 direction(RandomSigned(), RandomSigned(), RandomSigned());
    direction.Normalise();
    star.position = direction;
    star.previousPosition = direction;
    star.velocity = Vector3();
    star.speed = 0.0f;
    // A flickering particle may burst and die: the field would thin out.
    star.flicker = false;
    star.colour[0] = (1.0f + RandomFraction()) / 2.0f;
    star.colour[1] = 0.75f + RandomFraction() * 0.25f;
    star.colour[2] = 0.75f + RandomFraction() * 0.25f;
    star.colour[3] = (1.0f + RandomFraction()) / 2.0f;
    star.baseAlpha = star.colour[3];
  }
  field->Update();
  starFieldController.drivenNode = &field->node;
  starFieldController.enabled = true;
}

void GalacticPlane::Update(float dt) {
  spin.Step(dt * kSpinRate);
  starFieldController.SetRotation(0.0f, kTiltDegrees * kDegreesToRadians, spin.GetValue() * kDegreesToRadians);
  starFieldController.UpdateOrientation();
  starFieldController.Update();
  for (Constellation& constellation : constellations) {
    constellation.EaseSize(dt);
    constellation.UpdateCompletedStars(dt);
  }
  UpdateMarkers(dt);
}

void GalacticPlane::CreateMarkers() {
  DestroyMarkers();
  markerMaterial = MaterialNamed("CompletedStar");
  markerSprite = std::make_unique<GFXSprite>();
  markers = std::make_unique<StarMarker[]>(kMarkerCapacity);
  markerCount = 0;
}

void GalacticPlane::AddMarker(const Vector3& start, float size) {
  if (!markers || markerCount >= kMarkerCapacity) return;
  StarMarker& marker = markers[markerCount++];
  marker.start = start;
  marker.current = start;
  const float angle = (kMarkerArcStart + RandomFraction() * kMarkerArc) * kDegreesToRadians;
  Vector3 target(std::cos(angle), std::sin(angle), RandomFraction() - 0.5f);
  target.Normalise();
  target *= radius;
  // The inverse of the backdrop's turn, so the marker lands in the galaxy
  // as it stands now.
  target.RotateAboutY(-kTiltDegrees);
  target.RotateAboutZ(-spin.GetValue());
  marker.target = target;
  marker.progress = 0.0f;
  marker.size = size > 0.0f ? size : kMarkerMinSize + RandomFraction() * (kMarkerMaxSize - kMarkerMinSize);
  marker.flipbook = std::make_unique<GFXFlipbook>();
}

void GalacticPlane::UpdateMarkers(float dt) {
  for (uint32_t i = 0; i < markerCount; ++i) {
    StarMarker& marker = markers[i];
    marker.progress = std::fmin(marker.progress + dt / kMarkerFlightSeconds, 1.0f);
    marker.current = marker.start + (marker.target - marker.start) * marker.progress;
    PlayCompletedStar(*marker.flipbook, markerMaterial, dt);
  }
}

void GalacticPlane::DestroyMarkers() {
  markers.reset();
  markerSprite.reset();
  markerCount = 0;
}
