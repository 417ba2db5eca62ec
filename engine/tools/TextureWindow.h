#pragma once
// "Vyre Texture": one texture of the texture manager on a turning cube.

#include "engine/tools/SpinningViewer.h"

class CTEXTexture;

class TextureWindow : public SpinningViewer {
 public:
  TextureWindow();
  ~TextureWindow() override;
  // Children, then the textured cube turning, or "No valid texture found".
  void DrawContents() override;
  // The developer frame at (500, 300), 300 x 300; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;

  // Selects a list position: -1 wraps to the last texture, past the last to
  // the first.
  void SelectTexture(int32_t index);
  // The texture at the stored position, or null.
  CTEXTexture* SelectedTexture() const;
};
