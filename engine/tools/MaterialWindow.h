#pragma once
// "Vyre Material": one material of the material manager on a turning cube,
// with its name and the texture of each stage. eMSG_Next and eMSG_Previous
// step through the materials while it is shown.

#include "engine/tools/SpinningViewer.h"

class CMATMaterial;

class MaterialWindow : public SpinningViewer {
 public:
  MaterialWindow();
  ~MaterialWindow() override;
  // Children, then the cube and the stage list, or "No valid material found".
  void DrawContents() override;
  // The developer frame at (500, 300), 300 x 300; it does not slide.
  void SetDefaultFrame(int32_t fontIndex) override;
  // The window's own handling; then eMSG_Next and eMSG_Previous step the
  // selection while shown and are taken even while hidden.
  void OnMessage(CMSGMessage* message) override;

  // Selects a list position: -1 wraps to the last material, past the count
  // to the first; the count itself selects no material.
  void SelectMaterial(int32_t index);
  // The material at the stored position, or null.
  CMATMaterial* SelectedMaterial() const;
};
