#pragma once

// The object that shows and animates one puzzle game: the current disc with
// its rings of gems, the discs still to come, the queue of gems waiting to
// be dropped, the dropped gem in flight, gems falling inward or breaking,
// the gem effects and the galactic backdrop. It owns the Novalith.
//
// A state machine stepped once a frame: Present (the disc turns into view),
// InGame, Clearing (the disc shrinks away) and Explosion (final). The game
// talks to it by messages posted to GetObjectId() and through a few fields.
//
// Coordinates: a disc lies in the x-z plane of its own frame, centred on
// kDiscCentre in the world. The queue and the dropped gem move in world
// coordinates, falling and breaking gems in disc-local ones. The disc is
// drawn turned by `spin` about y, which puts local angle a at world angle
// a - spin, so the drop column faces the world +x axis, where the queue is.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector3.h"
#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/fsm/FsmState.h"
#include "game/rules/PuzzleGem.h"

class C3MEModel;
class CGPuzzleDisc;
class CGPuzzlePipe;
class CMATMaterial;
class GalacticPlane;
class GameProfile;
class NovalithObject;

// One gem moving outside its slot.
struct GemMotion {
  bool active = false;
  Vector3 origin;
  Vector3 position;
  Vector3 direction;
  float speed = 0.0f;
  // How far a falling gem travels before it lands.
  float travelDistance = 0.0f;
  int32_t targetRing = 0;
  int32_t column = 0;
  int32_t ring = 0;
  int32_t colour = 0;
  int32_t type = 0;
};

// A draw function bound to its renderer.
using GRenderDelegate = std::function<void()>;

// The game's table of discs: the renderer shows a run of it.
using DiscTable = std::vector<std::unique_ptr<CGPuzzleDisc>>;

class GPuzzleRenderer : public Base {
 public:
  static constexpr uint32_t kQueueLength = 6;
  // The most discs shown at once, the current one included.
  static constexpr uint32_t kMaxDiscsShown = 6;
  // Where every queued gem enters, and where the front of the queue waits.
  static constexpr float kQueueEntryX = 4.0f;
  static constexpr float kQueueFrontX = -3.75f;
  // Gap kept between queued gems.
  static constexpr float kQueueGap = 0.3f;
  // Every flight moves by speed x this per frame.
  static constexpr float kMotionScale = 0.065f;

  static const Vector3 kDiscCentre;
  static const Vector3 kRainbowRowOrigin;

  // States, delegates, fields, gem and beam effects, the star, materials
  // and models, the queue; fog and light only with a GL context. Present is
  // requested.
  GPuzzleRenderer();
  ~GPuzzleRenderer() override;
  GPuzzleRenderer(const GPuzzleRenderer&) = delete;
  GPuzzleRenderer& operator=(const GPuzzleRenderer&) = delete;

  // Shows count discs of the table (at most kMaxDiscsShown) from index
  // first on; the first of them is the current disc. A null table shows none.
  void SetDiscs(DiscTable* table, uint32_t first, uint32_t count);
  // The i-th disc shown (0 the current one); null past the shown ones.
  CGPuzzleDisc* Disc(uint32_t i) const;
  CGPuzzleDisc* CurrentDisc() const { return Disc(0); }
  uint32_t DiscCount() const { return discCount_; }
  // Makes every queue record inactive.
  void ClearQueue();
  // The point the puzzle camera looks down at.
  Vector3 GetFocus() const { return rainbowRowOrigin; }
  // Runs the current state's draw delegate, when there is one.
  void DrawCurrent();
  // Sets the fog and the scene light up in the current GL context: at
  // construction, and again in every context that replaces it.
  void SetupScene();

  FsmState* Present() { return &fsmPresent_; }
  FsmState* InGame() { return &fsmInGame_; }
  FsmState* Clearing() { return &fsmClearing_; }
  FsmState* Explosion() { return &fsmExplosion_; }

  // ---- Layout (PuzzleRendererLayout.cpp) ----

  // Ring spacing of a disc with n slots a ring: 0.25 for 16, 0.375 for 8.
  static float RingSpacingFor(unsigned slotsPerRing);
  // Distance of ring r's slots from the centre.
  static float RingRadius(int ring, unsigned slotsPerRing);
  // Disc-local centre of a slot; column c lies c x 360 / n degrees from +x
  // toward +z.
  static Vector3 SlotPositionOn(unsigned slotsPerRing, int ring, int column);
  // The same on the current disc (16 slots a ring without a disc).
  float RingSpacing() const;
  Vector3 SlotPosition(int ring, int column) const;
  // The slot under a point given relative to the disc centre in world
  // space, for the dropped gem on the world +x axis: the ring whose centre
  // it has passed on its way in, the drop column (-1 standing for the last
  // column when the spin sits a hair past it). True while inside the disc.
  bool FindSlotAt(const Vector3& offset, int& ring, int& column) const;
  // The slot of a disc-local point on its way inward: the nearest column,
  // the ring whose centre lies at or outside it. True while inside the disc.
  bool FindSlotAtLocal(const Vector3& position, int& ring, int& column) const;

  // ---- Motion (PuzzleRendererMotion.cpp) ----

  // Takes the pipe's front gem into the first free queue record.
  void AcquireGem(CGPuzzlePipe& pipe);
  void UpdateQueue(float dt);
  // Flies the dropped gem and sets the turn permissions.
  void UpdateDroppedGem(CGPuzzleDisc* disc, float dt);
  // Starts a flight for every Falling slot and lands them.
  void UpdateFallingGems(CGPuzzleDisc* disc, float dt);
  // Empties every Breaking slot with a burst and a flight to the centre.
  void UpdateBreakingGems(CGPuzzleDisc* disc, float dt);
  // Turns the shown disc toward its drop column the short way.
  void UpdateSpin(CGPuzzleDisc* disc, float dt);

  // ---- Effects (PuzzleRendererEffects.cpp) ----

  void CreateGemEffects();
  void CreateBeamEffects();
  // Breaks a gem of the colour at a point relative to the disc centre.
  void BurstGem(int colour, const Vector3& offset);
  // Two rainbow arcs round the disc from a point relative to its centre.
  void RainbowRing(const Vector3& point, float width);

  // ---- Drawing (PuzzleRendererDrawing.cpp) ----

  void DrawGem(int colour, int type);
  void DrawDisc(const CGPuzzleDisc& disc, bool withMarkers);
  void DrawDropMarker();
  void DrawQueue();
  void DrawDroppedGem();
  void DrawFallingGems();
  void DrawBreakingGems();
  void DrawRainbowProgress();
  void DrawPresent();
  void DrawInGame();
  void DrawClearing();

  // Receiver of the game; written by the game after construction.
  int32_t ownerId = -1;
  // Written by the game after construction; may be null.
  GalacticPlane* galacticPlane = nullptr;
  // Names the constellation shown for the current mode; may be null.
  GameProfile* profile = nullptr;

  // Displayed turn of the disc about y, degrees in [0, 360).
  ValueStepper spin;
  Vector3 discCentre = kDiscCentre;
  Vector3 rainbowRowOrigin = kRainbowRowOrigin;
  // Disc-local position of the landing slot.
  Vector3 dropMarker;
  // Degrees still to turn, and the drop column's angle.
  float turn = 0.0f;
  float targetAngle = 0.0f;
  // Sized by the largest disc seen (rings x slots); disc-local.
  std::vector<GemMotion> breakingFlights;
  std::vector<GemMotion> fallingFlights;
  GemMotion droppedGem;
  // Scale of the disc while clearing and exploding.
  AnimChannel clearingChannel;
  // Turn of the whole view about z while presenting.
  AnimChannel presentChannel;
  uint32_t queueLength = kQueueLength;
  // The queue record a drop launches; -1 when none.
  int32_t selected = -1;
  GemMotion queue[kQueueLength];
  std::unique_ptr<NovalithObject> star;
  C3MEModel* gemModels[kGemTypeCount] = {};
  CMATMaterial* crystalMaterials[kGemColourCount] = {};
  CMATMaterial* focusMaterial = nullptr;
  bool firstPresentation = true;
  bool clearDonePosted = false;
  // Read by the game's key handlers: a turn by +1 / -1 is allowed.
  bool turnForwardAllowed = true;
  bool turnBackAllowed = true;

 private:
  void EnterPresent();
  void UpdatePresent();
  void PresentMessage(CMSGMessage* message);
  void ExitPresent();
  void EnterInGame();
  void UpdateInGame();
  void InGameMessage(CMSGMessage* message);
  void EnterClearing();
  void UpdateClearing();
  void ClearingMessage(CMSGMessage* message);
  void ExitClearingOrExplosion();
  void EnterExplosion();
  void UpdateExplosion();
  void NoMessage(CMSGMessage*) {}

  // The work every state's update shares.
  void UpdateFlightsAndQueue(float dt);
  void UpdatePlane(float dt);
  // Handles eMSG_GAcquireGem: takes a gem and posts the next acquisition.
  void AcquireAndRepeat();
  void LaunchSelectedGem();
  void BurstQueuedColour(int colour);
  void PostToStar(uint32_t id, double delaySeconds);
  void PostToSelf(uint32_t id, double delaySeconds);
  // The index of the current mode's constellation, -1 without a profile.
  int32_t ProfileConstellation() const;
  void SetupFog();
  void SetupLight();

  // Drawing helpers shared by the delegates.
  void DrawStarGlow();
  void DrawStarGlowAtCentre();
  void DrawUpcomingDiscs(bool tinted);
  void DrawBackdrop();
  void DrawFlights(const std::vector<GemMotion>& flights, unsigned ringCount, float spacing);

  FsmStateOf<GPuzzleRenderer> fsmPresent_;
  FsmStateOf<GPuzzleRenderer> fsmInGame_;
  FsmStateOf<GPuzzleRenderer> fsmClearing_;
  FsmStateOf<GPuzzleRenderer> fsmExplosion_;
  GRenderDelegate* currentDraw_ = nullptr;
  GRenderDelegate drawDelegates_[4];

  DiscTable* discTable_ = nullptr;
  uint32_t firstDisc_ = 0;
  uint32_t discCount_ = 0;
};

// Column wrapped into [0, n); n of 0 gives 0.
int WrapColumn(int column, unsigned slotsPerRing);
