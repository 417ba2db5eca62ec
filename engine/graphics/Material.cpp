#include "engine/graphics/Material.h"

#include <cstdio>

#include "engine/foundation/Log.h"
#include "engine/graphics/TextLines.h"

namespace {

bool StartsWith(const String& line, char c) { return !line.IsEmpty() && line[0] == c; }

}  // namespace

CMATMaterial::CMATMaterial() : name_("Default") {}

CMATMaterial::~CMATMaterial() { FreeStages(); }

bool CMATMaterial::AllocateStages(uint32_t count) {
  FreeStages();
  if (count > kMaxStages) count = kMaxStages;
  if (count == 0) return true;
  stages_ = new CMATStage[count];
  if (stages_ == nullptr) return false;
  stageCount_ = int32_t(count);
  return true;
}

void CMATMaterial::FreeStages() {
  delete[] stages_;
  stages_ = nullptr;
  stageCount_ = 0;
}

CMATStage* CMATMaterial::GetStage(uint32_t index) const {
  if (stages_ == nullptr || index >= uint32_t(stageCount_)) return nullptr;
  return &stages_[index];
}

bool CMATMaterial::HasTextureKind(int32_t kind) const {
  for (int32_t i = 0; i < stageCount_; ++i) {
    if (stages_[i].HasTextureKind(kind)) return true;
  }
  return false;
}

void CMATMaterial::SetTrackValues(float value) {
  for (int32_t i = 0; i < stageCount_; ++i) stages_[i].SetTrackValues(value);
}

void CMATMaterial::Update(float dt) {
  for (int32_t i = 0; i < stageCount_; ++i) stages_[i].Update(dt);
}

uint32_t CMATMaterial::CountStageBlocks(TextLines& file) const {
  uint32_t count = 0;
  String line;
  while (file.ReadLine(line)) {
    if (line.Find("{") >= 0) {
      ++count;
      while (line.Find("}") < 0 && file.ReadLine(line)) {
      }
    }
    if (StartsWith(line, '}')) break;
  }
  return count;
}

void CMATMaterial::SkipStageBlock(TextLines& file) const {
  String line;
  while (file.ReadLine(line) && line.Find("}") < 0) {
  }
}

void CMATMaterial::Read(TextLines& file) {
  String line;
  file.ReadLine(line);
  line.Trim();
  name_ = line;
  readPending_ = 0;
  FreeStages();

  if (!file.ReadLine(line) || !StartsWith(line, '{')) return;

  const size_t blockStart = file.GetPos();
  const uint32_t blocks = CountStageBlocks(file);
  file.SetPos(blockStart);

  inUse_ = 1;
  OutputPrintf(platform::Severity::Info, "Material %s - %d stages\n", name_.Chars(), int(blocks));
  AllocateStages(blocks);

  uint32_t stageIndex = 0;
  while (!file.AtEnd()) {
    const size_t lineStart = file.GetPos();
    if (!file.ReadLine(line)) break;
    if (line.Find("{") >= 0) {
      file.SetPos(lineStart);
      // Stage blocks past the array's end are skipped, never written.
      if (stageIndex < uint32_t(stageCount_)) {
        stages_[stageIndex].Read(file);
      } else {
        SkipStageBlock(file);
      }
      ++stageIndex;
      continue;
    }
    line.Trim();
    line.ToUpper();
    if (line.Find("//") >= 0) continue;
    if (line.GetWord(0) == "CULL") {
      const String side = line.GetWord(1);
      if (side == "NONE") {
        sideFlags_ = 0;
      } else if (side == "FRONT") {
        sideFlags_ = MaterialSide::FRONT;
      } else if (side == "BOTH") {
        sideFlags_ = MaterialSide::FRONT | MaterialSide::BACK;
      } else {
        sideFlags_ = MaterialSide::BACK;
      }
    }
    if (StartsWith(line, '}')) break;
  }
}

void CMATMaterial::Write(std::string& out) const {
  out += name_.Chars();
  out += "\n{\n";
  const uint32_t both = MaterialSide::FRONT | MaterialSide::BACK;
  if ((sideFlags_ & both) == both) {
    out += "\tCULL BOTH\n";
  } else if (sideFlags_ & MaterialSide::FRONT) {
    out += "\tCULL FRONT\n";
  } else if (sideFlags_ & MaterialSide::BACK) {
    out += "\tCULL BACK\n";
  } else {
    out += "\tCULL NONE\n";
  }
  for (int32_t i = 0; i < stageCount_; ++i) stages_[i].Write(out);
  out += "}\n";
}
