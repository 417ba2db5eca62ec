#include "engine/graphics/MaterialStage.h"

#include "engine/graphics/Texture.h"

CMATStage::CMATStage() = default;

CMATStage::~CMATStage() = default;

void CMATStage::SetSides(bool front, bool back) {
  flags = front ? (flags | StageFlag::FRONT) : (flags & ~StageFlag::FRONT);
  flags = back ? (flags | StageFlag::BACK) : (flags & ~StageFlag::BACK);
}

void CMATStage::SetShininess(float value) {
  shininess = value;
  flags |= StageFlag::SHININESS;
}

void CMATStage::SetBlend(bool on) { flags = on ? (flags | StageFlag::BLEND) : (flags & ~StageFlag::BLEND); }

bool CMATStage::HasTextureKind(int32_t kind) const {
  return texture != nullptr && texture->Source() != nullptr && texture->Source()->status == kind;
}

void CMATStage::Update(float dt) {
  if (frameAnimationRunning && frameCount > 1 && frameTimer.Update(dt)) {
    // Each elapsed period shows the next frame, wrapping to the first.
    currentFrame = (currentFrame + 1) % frameCount;
    frameTimer.Restart();
  }

  if (flags & StageFlag::MODIFY_UV) {
    struct Track {
      uint8_t bit;
      UVTrack track;
    };
    static constexpr Track kOrder[] = {{UVTrackBit::USCALE, kUScale},
                                       {UVTrackBit::VSCALE, kVScale},
                                       {UVTrackBit::USCROLL, kUScroll},
                                       {UVTrackBit::VSCROLL, kVScroll},
                                       {UVTrackBit::ROTATE, kRotate}};
    for (const Track& t : kOrder) {
      if (uvTrackBits & t.bit) uvTracks[t.track].Update(dt);
    }
    if (uvTrackBits & UVTrackBit::USTEP) AdvanceStep(kUStepTimer, kUScroll, uStepAmount, dt);
    if (uvTrackBits & UVTrackBit::VSTEP) AdvanceStep(kVStepTimer, kVScroll, vStepAmount, dt);
  }

  if (flags & StageFlag::MODIFY_ALPHA) {
    alphaTrack.Update(dt);
    colour[3] = alphaTrack.GetCurrent();
  }
  if (flags & StageFlag::MODIFY_EMISSIVE) {
    emissiveTrack.Update(dt);
    emissive[3] = emissiveTrack.GetCurrent();
  }
}

void CMATStage::AdvanceStep(UVTrack timer, UVTrack scroll, float stepAmount, float dt) {
  if (!uvTracks[timer].Update(dt)) return;
  uvTracks[timer].Restart();
  ValueFader& offset = uvTracks[scroll];
  offset.SetCurrent(offset.GetCurrent() + stepAmount);
  if (offset.Finished()) offset.Restart();
}

void CMATStage::SetTrackValues(float value) {
  if (frameAnimationRunning && frameCount > 1) frameTimer.SetCurrent(value);
  if (flags & StageFlag::MODIFY_UV) {
    static constexpr struct {
      uint8_t bit;
      UVTrack track;
    } kTracks[] = {{UVTrackBit::USCROLL, kUScroll}, {UVTrackBit::VSCROLL, kVScroll}, {UVTrackBit::USCALE, kUScale},
                   {UVTrackBit::VSCALE, kVScale},   {UVTrackBit::ROTATE, kRotate},   {UVTrackBit::USTEP, kUStepTimer},
                   {UVTrackBit::VSTEP, kVStepTimer}};
    for (const auto& t : kTracks) {
      if (uvTrackBits & t.bit) uvTracks[t.track].SetCurrent(value);
    }
  }
  if (flags & StageFlag::MODIFY_ALPHA) alphaTrack.SetCurrent(value);
  if (flags & StageFlag::MODIFY_EMISSIVE) emissiveTrack.SetCurrent(value);
}

void CMATStage::RestartTracks() {
  alphaTrack.Restart();
  colour[3] = alphaTrack.GetCurrent();
  emissiveTrack.Restart();
  emissive[3] = emissiveTrack.GetCurrent();
  frameTimer.Restart();
  frameAnimationRunning = frameAnimationEnabled;
  currentFrame = 0;
  for (UVTrack track : {kUScroll, kVScroll, kRotate, kUScale, kVScale}) uvTracks[track].Restart();
}
