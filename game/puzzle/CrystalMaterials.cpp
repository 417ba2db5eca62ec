#include "game/puzzle/CrystalMaterials.h"

#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"

namespace {

constexpr const char* kCrystalMaterials[kCrystalColourCount] = {
    "GemCrystalRed",  "GemCrystalOrange", "GemCrystalYellow", "GemCrystalGreen", "GemCrystalCyan",
    "GemCrystalBlue", "GemCrystalIndigo", "GemCrystalBlack",  "GemCrystalWhite", "GemCrystalGold",
};

}  // namespace

const char* CrystalMaterialName(int colour) {
  return colour >= 0 && colour < kCrystalColourCount ? kCrystalMaterials[colour] : nullptr;
}

float* CrystalColour(int colour) {
  const char* name = CrystalMaterialName(colour);
  if (name == nullptr) return nullptr;
  CMATMaterial* material = CMATManager::GetInstance()->GetMaterial(name);
  CMATStage* stage = material != nullptr ? material->GetStage(0) : nullptr;
  return stage != nullptr ? stage->colour : nullptr;
}
