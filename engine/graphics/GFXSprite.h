#pragma once
#include "engine/foundation/AnimChannel.h"
#include "engine/foundation/Rect.h"
#include "engine/foundation/ValueStepper.h"

class CMATMaterial;
class CTEXTexture;
class GFXFlipbook;

// A textured rectangle drawn in the current model-view frame, with spin,
// pulsing scale, fading alpha, mirroring and an optional flip-book.
class GFXSprite {
 public:
  // Visible flags all off, white, full texture.
  GFXSprite();
  virtual ~GFXSprite() = default;

  // Draws the sprite when visible and it has an image.
  virtual void Render();
  // Steps the flip-book, spin, scale and fade by dt when animated, and
  // re-centres the rectangle on the position.
  virtual void Update(float dt);

  // Attaches a flip-book (not owned) and shows its first frame.
  void SetFlipbook(GFXFlipbook* book);
  // Rectangle size := the texture's size in texels x the texture rectangle's extent.
  void SizeToTexture();
  // Turns the sprite to face the target point.
  void PointAt(const Vector2& target);
  // The image drawn: a material (every stage) or a texture.
  void SetMaterial(CMATMaterial* material) {
    useMaterial = true;
    image = material;
  }
  void SetTexture(CTEXTexture* texture) {
    useMaterial = false;
    image = texture;
  }
  // The alpha Render uses.
  float DrawnAlpha() const;

  // Corners relative to the centre; the centre is the position.
  Rect rect;
  bool useMaterial = false;
  void* image = nullptr;  // CMATMaterial* or CTEXTexture* (see useMaterial)
  GFXFlipbook* flipbook = nullptr;
  bool fadeAlpha = false;
  bool visible = false;
  bool animated = false;
  bool spinning = false;
  bool pointing = false;
  bool scaling = false;
  bool fading = false;
  bool mirrorX = false;
  bool mirrorY = false;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  ValueStepper rotation;  // degrees; rate per second
  ValueStepper scaleStepX;
  ValueStepper scaleStepY;
  AnimChannel scaleX;
  AnimChannel scaleY;
  AnimChannel fade;
  // min = (left u, upper v), max = (right u, lower v), centre = pivot.
  Rect uv;
};
