#pragma once

// The Novalith: the star at the centre of the puzzle scene. Scored matches
// feed it crystals; it glows by how many it holds against the gems of the
// disc, turns unstable (flaring, with an alarm) while the disc is nearly
// full, loses crystals in a Panic quake, and at the end of a disc collapses
// and rests again or explodes.
//
// It draws nothing itself: the renderer draws the star model scaled by
// glowLevel / 2.5 in the tint, and the effects pool draws what the star
// emits into its four systems (particles 1 halo and 4 explosion, beams 0
// star beams and 1 flare beams).
//
// States are requested with messages on the GEM service, posted to
// ReceiverId():
//   eMSG_GNovalithUnstable  every frame the disc is at least 75 % full
//   eMSG_GNovalithStable    every other frame of play
//   eMSG_GDiscClear         when the renderer starts clearing a disc
//   eMSG_GNovalithExplode   when the renderer starts its explosion
// Unstable and Stable are ignored while Dormant, so the star turns unstable
// only once it holds crystals. A change takes the state machine's two steps.

#include <cstdint>

#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/Vector3.h"
#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/fsm/FsmState.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "game/puzzle/CrystalMaterials.h"

struct MatchRecord;

class NovalithObject : public Base {
 public:
  // The star's slots of the effects pool.
  static constexpr int kHaloParticles = 1;
  static constexpr int kExplosionParticles = 4;
  static constexpr int kStarBeams = 0;
  static constexpr int kFlareBeams = 1;

  // Named "Novalith", stepped by the engine, listening on the GEM service;
  // tint (0, 0, 0, 0.75). No state is entered until Reset.
  NovalithObject();
  ~NovalithObject() override;
  NovalithObject(const NovalithObject&) = delete;
  NovalithObject& operator=(const NovalithObject&) = delete;

  // Empties the star, looks up the crystal colours, sets up the effect
  // systems the first time (later only clears the flare beams) and requests
  // Dormant.
  void Reset();
  // Feeds the crystals of one scored match (gem count, colour); the first
  // crystals wake a Dormant star.
  void AddCrystals(const MatchRecord& match);
  // Panic mode's quake: each colour loses three quarters of its crystals
  // (at least one), with flares and star beams.
  void Quake();

  // A halo flare in the colour at the given strength.
  void EmitFlare(int colour, float strength);
  // A star beam in a colour picked at random by its share; may recolour the
  // tint.
  void SpawnStarBeam();
  // Eases the glow toward the fill and pulse, retints the star and spawns
  // flare beams by each colour's share; dt in seconds.
  void UpdateGlow(float dt);
  void InitBeamEffects();
  void InitParticleEffects();

  // Crystals held against the capacity, 1.0 when full or when the capacity is 0.
  float Fill() const;
  // Game over's test: a quake took the last crystal since the first crystals
  // of this rest.
  bool HasDied() const { return !fresh && died; }
  // The receiver on the GEM service its requests go to.
  int32_t ReceiverId() const { return gemEndpoint_.receiverId; }

  FsmState* Dormant() { return &dormant_; }
  FsmState* Growing() { return &growing_; }
  FsmState* Unstable() { return &unstable_; }
  FsmState* Collapsing() { return &collapsing_; }
  FsmState* Exploding() { return &exploding_; }

  // The star's centre; written by the renderer before the first Reset.
  Vector3 position;
  uint32_t crystalCounts[kCrystalColourCount] = {};
  // The sum of the counts as last updated.
  uint32_t total = 0;
  // Gems on the disc when it was set up; written by the puzzle set-up.
  uint32_t capacity = 0;
  float glowLevel = 0.0f;
  float glowTarget = 0.0f;
  // RGBA of the star model and of the explosion.
  float tint[4] = {0.0f, 0.0f, 0.0f, 0.75f};
  // Its output scales the fill in UpdateGlow.
  AnimChannel pulse;
  bool effectsReady = false;
  // From entering Dormant until the first crystals arrive.
  bool fresh = false;
  // A quake took the last crystal away.
  bool died = false;
  // Collapsing ends in Exploding instead of Dormant.
  bool explodePending = false;
  // First-stage colours of the crystal materials, looked up by Reset.
  float* crystalColours[kCrystalColourCount] = {};

 private:
  void EnterDormant();
  void DormantMessage(CMSGMessage* message);
  void EnterGrowing();
  void UpdateGrowing();
  void GrowingMessage(CMSGMessage* message);
  void EnterUnstable();
  void UpdateUnstable();
  void UnstableMessage(CMSGMessage* message);
  void ExitUnstable();
  void EnterCollapsing();
  void UpdateCollapsing();
  void EnterExploding();

  // The next random step of the unstable pulse, once the last has run.
  void StepUnstablePulse();
  // A disc clear or an explode request, which every awake state answers by
  // collapsing; false for any other message.
  bool CollapseOnRequest(CMSGMessage* message);
  // Marks the message handled and requests the state.
  void Request(CMSGMessage* message, FsmState* state);
  void PostFlareToSelf(double delaySeconds);
  // The colour's RGBA; white while the colours are not looked up.
  const float* ColourOf(int colour) const;

  FsmStateOf<NovalithObject> dormant_;
  FsmStateOf<NovalithObject> growing_;
  FsmStateOf<NovalithObject> unstable_;
  FsmStateOf<NovalithObject> collapsing_;
  FsmStateOf<NovalithObject> exploding_;
  CMSGForwarder<StateMachine, &StateMachine::HandleMessage> gemEndpoint_{this};
};
