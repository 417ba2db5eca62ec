#pragma once
#include <cstdint>

#include "engine/foundation/Rect.h"
#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector2.h"

class CTEXTexture;

// Animates which part of a texture (a grid of frames) or which texture of a
// list a sprite shows. The frame stepper's value is the frame number and its
// rate is frames per second.
class GFXFlipbook {
 public:
  enum Mode : int32_t { kOff = 0, kGrid = 1, kTextureList = 2 };

  // Everything zero, mode off, inactive.
  GFXFlipbook() = default;
  // Frees the texture array (not the textures).
  virtual ~GFXFlipbook();
  GFXFlipbook(const GFXFlipbook&) = delete;
  GFXFlipbook& operator=(const GFXFlipbook&) = delete;

  // Grid of cells of w x h texels separated by a gap of x, y texels.
  void SetFrameSize(CTEXTexture* texture, float x, float y, float w, float h);
  // Grid of columns x rows equal cells with no gap.
  void SetGrid(CTEXTexture* texture, uint32_t inColumns, uint32_t inRows);
  // Takes a list of textures shown one per frame (the array is copied).
  void SetTextures(CTEXTexture* const* list, uint32_t count);
  // Steps the frame by its rate x dt and updates the frame rectangle or the
  // current texture; nothing while inactive or off.
  void Update(float dt);
  // Frame := n, limits applied; true when a limit was hit.
  bool SetFrame(uint32_t n);
  // Writes the frame stepper's mode, limits, value and rate.
  void SetStepper(int32_t stepperMode, float minimum, float maximum, float value, float rate);
  // Frees the texture array and turns the flip-book off.
  void Clear();

  bool active = false;
  ValueStepper frame;
  int32_t mode = kOff;
  CTEXTexture** textures = nullptr;
  uint32_t textureCount = 0;
  uint32_t columns = 0;
  uint32_t rows = 0;
  // min = (left u, upper v), max = (right u, lower v).
  Rect frameRect;
  CTEXTexture* currentTexture = nullptr;
  Vector2 gap;   // texture units
  Vector2 cell;  // texture units

 private:
  void HoldOneTexture(CTEXTexture* texture);
  void UpdateGridRect();
};
