// The ring of frame records.

#include "engine/graphics/GFXStats.h"

#include <cstring>

namespace {
bool gStatsExist = false;
}

GFXStats::GFXStats() : records_(new Record[kCapacity]) {
  std::memset(records_.get(), 0, sizeof(Record) * kCapacity);
  gStatsExist = true;
}

GFXStats::~GFXStats() { gStatsExist = false; }

GFXStats* GFXStats::GetInstance() {
  static GFXStats instance;
  return &instance;
}

bool GFXStats::Exists() { return gStatsExist; }

void GFXStats::EndFrame(uint32_t frame, float fps) {
  Record& record = records_[current_];
  record.frame = frame;
  record.fps = fps;
  if (fps > peak_.fps) peak_.fps = fps;
  if (++current_ >= kCapacity) {
    current_ = 0;
    wrapped_ = 1;
  }
  std::memset(&records_[current_], 0, sizeof(Record));
}

const GFXStats::Record& GFXStats::GetRecordBack(int framesBack) const {
  if (framesBack > 0) framesBack = 0;
  int64_t index = static_cast<int64_t>(current_) + framesBack;
  if (index < 0) {
    if (!wrapped_) return records_[0];
    index = ((index % kCapacity) + kCapacity) % kCapacity;
  }
  return records_[index];
}
