#pragma once
// A named list of stages: the unit of appearance of everything the engine
// draws. Materials are owned by the material manager and shared by name.

#include <cstdint>
#include <string>

#include "engine/foundation/String.h"
#include "engine/graphics/MaterialStage.h"

class TextLines;

// Side bits of a material (the renderer shifts them onto its cull bits).
namespace MaterialSide {
inline constexpr uint32_t FRONT = 0x100;
inline constexpr uint32_t BACK = 0x200;
}  // namespace MaterialSide

class CMATMaterial {
 public:
  // The most stages one material holds.
  static constexpr uint32_t kMaxStages = 255;

  // Named "Default", no stages.
  CMATMaterial();
  virtual ~CMATMaterial();
  CMATMaterial(const CMATMaterial&) = delete;
  CMATMaterial& operator=(const CMATMaterial&) = delete;

  // Replaces the stages by `count` new ones (at most 255); false when the
  // heap refuses.
  bool AllocateStages(uint32_t count);
  // Destroys the stages.
  void FreeStages();
  // The stage at an index, or null past the last one.
  CMATStage* GetStage(uint32_t index) const;
  int32_t StageCount() const { return stageCount_; }

  void SetInUse(bool inUse) { inUse_ = inUse ? 1 : 0; }
  bool InUse() const { return inUse_ != 0; }
  // Copies the front (0x100) and back (0x200) bits.
  void SetSides(uint32_t sideFlags) { sideFlags_ = sideFlags & (MaterialSide::FRONT | MaterialSide::BACK); }
  uint32_t Sides() const { return sideFlags_; }
  // True when any stage's texture has a source record of this status.
  bool HasTextureKind(int32_t kind) const;
  void SetTrackValues(float value);
  void Update(float dt);

  // Reads one material block: the name line, "{", stage blocks, "}".
  void Read(TextLines& file);
  // Appends the material block's text.
  void Write(std::string& out) const;

  const String& Name() const { return name_; }
  String& Name() { return name_; }
  void SetName(const String& name) { name_ = name; }
  bool ReadPending() const { return readPending_ != 0; }
  uint32_t instanceCount = 0;      // above 0: tracks are driven per instance
  CMATMaterial* parent = nullptr;  // when set, drawn in place of this one

 private:
  uint32_t CountStageBlocks(TextLines& file) const;
  void SkipStageBlock(TextLines& file) const;

  int32_t stageCount_ = 0;
  CMATStage* stages_ = nullptr;
  uint8_t inUse_ = 0;
  uint8_t readPending_ = 1;
  String name_;
  uint32_t sideFlags_ = 0;
};
