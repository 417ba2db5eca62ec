#pragma once

// The Challenge's set of constellations, and the galactic backdrop they are
// drawn over: a field of fixed stars, the other constellations on a ring,
// and in Panic mode the completed-star markers that fly into the galaxy.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector3.h"
#include "engine/graphics/GFXFlipbook.h"
#include "engine/graphics/GFXSprite.h"
#include "engine/scene/core/CameraController.h"
#include "game/puzzle/Constellation.h"

class CMATMaterial;

// Where a constellation of the ring is drawn: its index, the point on the
// ring and its own turn about z in degrees.
struct RingPlace {
  uint32_t index = 0;
  Vector3 position;
  float degrees = 0.0f;
};

// A completed star flying from the disc into the galaxy.
struct StarMarker {
  Vector3 start;
  Vector3 target;
  // 0 at the start, 1 on arrival.
  float progress = 0.0f;
  Vector3 current;
  float size = 0.0f;
  std::unique_ptr<GFXFlipbook> flipbook;
};

class GalacticPlane {
 public:
  static constexpr float kDefaultRadius = 50.0f;
  // The star field's particles, emitted once and never aged.
  static constexpr int32_t kFieldStars = 1000;
  // The effects pool's slot of the star field.
  static constexpr int kStarFieldSlot = 0;
  // The galaxy's tilt about y, in degrees.
  static constexpr float kTiltDegrees = 30.0f;
  // The ring of constellations runs through this share of the radius.
  static constexpr float kRingShare = 0.85f;
  // The most markers a Panic game keeps; later ones are not shown.
  static constexpr uint32_t kMarkerCapacity = 100;
  // Seconds a marker takes to reach its place in the galaxy.
  static constexpr float kMarkerFlightSeconds = 2.0f;

  GalacticPlane() = default;
  virtual ~GalacticPlane();
  GalacticPlane(const GalacticPlane&) = delete;
  GalacticPlane& operator=(const GalacticPlane&) = delete;

  // Sets the plane up afresh and builds its star field.
  void Create();
  // Frees the constellations and the markers.
  void Destroy();
  // Reads the constellation list at path into the plane, each entry's
  // definition from "Resources/Boards/Challenge/<entry>.definition.txt".
  // True when the list ends with "[END]" and names a constellation.
  bool ReadConstellations(const char* path);
  // Turns the galaxy, eases the constellations' sizes and advances the
  // completed stars and markers by dt seconds.
  void Update(float dt);
  // Draws the galaxy: the backdrop sphere (a pass per stage of its
  // material, seen from inside) and the star field, turned with the spin;
  // the other constellations on the ring; the markers.
  void Draw();
  // The constellations of the ring in drawing order: every one but the
  // current, each at the next point of the ring, turned by its own index.
  std::vector<RingPlace> RingPlacements() const;
  // Fills the effects pool's star-field system with kFieldStars stars on
  // the unit sphere, whatever the clock.
  void BuildStarField();

  // Panic mode's markers.
  void CreateMarkers();
  // Sends a marker from start to a place in the galaxy; a size of 0 or less
  // picks one from 0.25 to 1. Ignored past the capacity or before
  // CreateMarkers.
  void AddMarker(const Vector3& start, float size);
  void UpdateMarkers(float dt);
  void DrawMarkers();
  void DestroyMarkers();

  float radius = kDefaultRadius;
  uint32_t constellationCount = 0;
  std::vector<Constellation> constellations;
  // The constellation in play, left off the ring; -1 when none.
  int32_t current = -1;
  // Degrees the galaxy has turned about its axis.
  ValueStepper spin;
  CMATMaterial* material = nullptr;
  // Orients the star field's scene node.
  CameraController starFieldController;
  std::unique_ptr<StarMarker[]> markers;
  uint32_t markerCount = 0;
  std::unique_ptr<GFXSprite> markerSprite;
  CMATMaterial* markerMaterial = nullptr;
};

// A new plane, set up with its star field (Create) and, when a list is
// named, the constellations it reads (ReadConstellations).
std::unique_ptr<GalacticPlane> MakeGalacticPlane(const char* constellationList = nullptr);
