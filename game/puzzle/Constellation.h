#pragma once

// One constellation of the Challenge: a named set of stars, each star one
// disc of the constellation's board with a par time, drawn as a silhouette
// and an outline image over which completed stars light up.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/String.h"
#include "engine/foundation/Vector2.h"
#include "engine/foundation/Vector3.h"
#include "engine/graphics/GFXFlipbook.h"
#include "engine/graphics/GFXSprite.h"

class CMATMaterial;

// Starts a completed star's twinkle once: a 3 x 2 grid over the material's
// first stage texture, frames 0 to 6 wrapping from a random frame at 10 to
// 20 frames a second. Then keeps it playing and advances it by dt.
void PlayCompletedStar(GFXFlipbook& flipbook, CMATMaterial* material, float dt);

struct ConstellationStar {
  // Where the star sits, as fractions 0..1 of the constellation's size.
  Vector2 position;
  float parSeconds = 0.0f;
  // Animates the star's completed-star sprite.
  std::unique_ptr<GFXFlipbook> flipbook;
};

class Constellation {
 public:
  // A star line's coordinates are in 1/256ths of the constellation's size.
  static constexpr float kStarUnits = 256.0f;
  // One disc of the board per star, and the board holds at most this many.
  static constexpr int32_t kMaxStars = 64;
  // The most constellations a list may declare.
  static constexpr int32_t kMaxConstellations = 64;
  static constexpr float kDefaultSize = 15.0f;

  Constellation();
  virtual ~Constellation();
  Constellation(Constellation&&) = default;
  Constellation& operator=(Constellation&&) = default;

  // Reads a definition file into this record, emptied first. False when the
  // file cannot be opened, its star count is refused, or it ends without
  // "[END]" (what was read stays).
  bool Read(const char* path);
  // Empties the record: no name, stars, images or sprite; default size.
  void Clear();

  // Draws the constellation in the current frame, around its view centre:
  // the silhouette brightening with the stars completed, the outline over
  // it, a dark dot under each star and the completed stars' twinkles. On
  // the galactic ring it is depth-tested.
  void Draw(bool onRing);
  // Completed stars as a fraction of the stars; 0 without stars.
  float Progress() const;

  // One more star completed; the view starts panning to the next one.
  void CompleteStar();
  // Moves the view centre toward the current star; true on arrival (and at
  // once when every star is complete, as there is nowhere to pan to).
  bool PanToCurrentStar(float dt);
  // Eases the drawn size toward the target size; true once it is there.
  bool EaseSize(float dt);
  // Advances the twinkle of every completed star.
  void UpdateCompletedStars(float dt);

  std::unique_ptr<GFXSprite> sprite;
  // Names the board file "Resources/Boards/Challenge/<name>.stars".
  String name;
  CMATMaterial* silhouette = nullptr;
  CMATMaterial* outline = nullptr;
  CMATMaterial* completedStarMaterial = nullptr;
  uint32_t starCount = 0;
  // The definition file last read, and whether it read to its "[END]" (a
  // failed read has said why on the terminal).
  String definitionPath;
  bool definitionRead = false;
  // Stars completed; the next star to play has this index.
  uint32_t completed = 0;
  std::vector<ConstellationStar> stars;
  // Sum of the stars' par times.
  float parTotalSeconds = 0.0f;
  // The drawn size eases toward the target size.
  Vector3 size{kDefaultSize, 0.0f, kDefaultSize};
  Vector3 panStart{kDefaultSize / 2, 0.0f, kDefaultSize / 2};
  Vector3 targetSize{kDefaultSize, 0.0f, kDefaultSize};
  // The point the constellation is drawn around.
  Vector3 viewCentre{kDefaultSize / 2, 0.0f, kDefaultSize / 2};
  // Progress of the pan to the next star.
  AnimChannel pan;

 private:
  struct ReadProgress {
    bool countSeen = false;
    uint32_t starsFilled = 0;
  };
  // Handles one line of a definition; false when the record must be refused.
  bool ReadDefinitionLine(const char* line, ReadProgress& progress);
};
