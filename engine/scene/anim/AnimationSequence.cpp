#include "engine/scene/anim/AnimationSequence.h"

#include <algorithm>
#include <string>
#include <vector>

#include "engine/foundation/Clock.h"
#include "engine/scene/anim/AnimationManager.h"
#include "engine/scene/anim/KeyFrames.h"
#include "engine/scene/core/CountedArray.h"
#include "engine/scene/core/ResourceBytes.h"
#include "engine/scene/core/ResourceName.h"
#include "engine/scene/core/SceneLog.h"
#include "engine/scene/model/TextScanner.h"

namespace {

// "[0][0]a" is the shortest entry line; a count that could not fit in the
// rest of the file is refused.
constexpr size_t kMinEntryLineBytes = 7;

bool Refuse(const String& fileName, const char* reason) {
  LogANM("[ANM] CANMSequence::ReadText - ERROR : %s : %s", fileName.Chars(), reason);
  return false;
}

}  // namespace

CANMSequence::~CANMSequence() { ClearEntries(); }

bool CANMSequence::Read(String fileName) {
  name = fileName;
  const std::string upper = UpperAscii(fileName.Chars());
  const std::string extension = NameExtension(upper);
  if (upper.empty()) {
    LogANM("[ANM] CANMSequence::Read - ERROR : No filename!");
    LogANM("[ANM] FAILED sequence %s", upper.c_str());
    return false;
  }
  const bool ok = extension == "TXT" && ReadText(String(upper.c_str()));
  LogANM(ok ? "[ANM] Loaded sequence %s" : "[ANM] FAILED sequence %s", upper.c_str());
  return ok;
}

bool CANMSequence::ReadText(const String& fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadResourceBytes(fileName.Chars(), bytes)) return false;
  TextScanner scan(bytes);
  std::string token;
  if (scan.Scan("%s\n", &token) < 1 || token != "[ANM]") return false;
  std::string sequenceName;
  if (scan.Scan("%s\n", &sequenceName) == 1) name = sequenceName.c_str();

  int32_t count = 0;
  scan.Scan("[NSEQUENCE]%d\n", &count);
  if (count < 0 || count > kMaxEntries || uint64_t(count) > scan.Remaining() / kMinEntryLineBytes)
    return Refuse(fileName, "bad entry count");
  std::string loopWord;
  scan.Scan("[LOOP]%s\n", &loopWord);
  loop = loopWord == "TRUE";
  if (!SetEntryCount(uint32_t(count))) return Refuse(fileName, "out of memory");

  for (uint32_t i = 0; i < entryCount; ++i) {
    CANMEntry& entry = entries[i];
    std::string animation;
    scan.Scan("[%f][%f]%s\n", &entry.blendStart, &entry.blendDuration, &animation);
    entry.set = CANMManager::Instance().Request(String(animation.c_str()));
    // Every player needs a set in every entry.
    if (entry.set == nullptr) return Refuse(fileName, "an entry names no animation");
  }
  token.clear();
  return scan.Scan("%s\n", &token) == 1 && token == "[END]";
}

bool CANMSequence::SetEntryCount(uint32_t n) {
  ClearEntries();
  return AllocateCountedArray(entries, entryCount, n);
}

void CANMSequence::ClearEntries() {
  delete[] entries;
  entries = nullptr;
  entryCount = 0;
  current = 0;
}

CANMEntry* CANMSequence::GetEntry(uint32_t index) const { return index < entryCount ? &entries[index] : nullptr; }

C3MEKeyFrames* CANMSequence::GetCurrentSet() const { return current < entryCount ? entries[current].set : nullptr; }

void CANMSequence::Rewind(bool reverse) {
  if (entryCount == 0) return;
  if (!reverse) {
    time = 0.0f;
    current = 0;
  } else {
    totalLength = 0.0f;
    for (uint32_t i = 0; i < entryCount; ++i)
      if (entries[i].set != nullptr) totalLength += entries[i].set->duration;
    time = totalLength;
    current = entryCount - 1;
  }
  C3MEKeyFrames* set = entries[current].set;
  if (set == nullptr) return;
  set->Reset();
  // Backward playback starts the last entry at its end.
  if (reverse) set->SetTime(set->duration);
}

void CANMSequence::Update(float speed) {
  if (!playing || entryCount == 0) return;
  if (speed < 0.0f)
    PlayBackward(speed);
  else
    PlayForward(speed);
}

void CANMSequence::TakeRootOffset(const C3MEKeyFrames& set) {
  rootOffset = Vector3::MultiplyComponents(set.GetRootOffset(), set.axisMask);
}

void CANMSequence::EndSequence(const C3MEKeyFrames& set) {
  TakeRootOffset(set);
  playing = false;
}

void CANMSequence::FinishEntry(C3MEKeyFrames& set) {
  TakeRootOffset(set);
  set.Reset();
  set.time = 0.0f;
}

void CANMSequence::RestartFromFirst() {
  time = 0.0f;
  current = 0;
  if (entries[0].set != nullptr) entries[0].set->Reset();
}

void CANMSequence::PlayForward(float speed) {
  current = std::min(current, entryCount - 1);
  const float dt = Clock::Instance().GetGameDelta();
  CANMEntry& cur = entries[current];
  if (cur.set == nullptr) return;
  const bool last = current + 1 >= entryCount;
  CANMEntry& next = !last ? entries[current + 1] : (loop ? entries[0] : cur);
  time += dt * speed;
  if (blend && &next != &cur && next.set != nullptr && next.blendStart > 0.0f && !cur.set->blending &&
      time >= next.blendStart)
    cur.set->StartBlend(next.set, next.blendDuration);
  cur.set->Advance(dt, speed);

  // A step of nothing (a paused clock) ends nothing: a set waiting at its
  // start would otherwise count as stopped and be skipped.
  if (dt * speed == 0.0f) return;
  if (!((!cur.set->loop && cur.set->IsStopped()) || cur.set->IsBlendDone())) return;
  if (last && !loop) {
    // The sequence is over: its last pose holds.
    EndSequence(*cur.set);
    return;
  }
  FinishEntry(*cur.set);
  if (!last)
    ++current;
  else
    RestartFromFirst();
}

void CANMSequence::PlayBackward(float speed) {
  current = std::min(current, entryCount - 1);
  const float dt = Clock::Instance().GetGameDelta();
  CANMEntry& cur = entries[current];
  if (cur.set == nullptr) return;
  const bool first = current == 0;
  CANMEntry& previous = !first ? entries[current - 1] : (loop ? entries[entryCount - 1] : cur);
  time += dt * speed;
  if (blend && &previous != &cur && previous.set != nullptr && cur.backwardBlendStart > 0.0f && !cur.set->blending &&
      time <= cur.backwardBlendStart) {
    // The fade into this entry, played the other way: it lasts at most
    // the time this entry has left going backward.
    cur.set->StartBlend(previous.set, cur.blendDuration);
    if (cur.set->blending) {
      cur.set->blendDuration = std::min(cur.blendDuration, cur.set->time);
      previous.set->SetTime(previous.set->duration);
    }
  }
  cur.set->Advance(dt, speed);

  if (dt * speed == 0.0f) return;
  const bool fadedOut = cur.set->IsBlendDone();
  if (!((!cur.set->loop && cur.set->IsStopped()) || fadedOut)) return;
  if (first && !loop) {
    EndSequence(*cur.set);
    return;
  }
  FinishEntry(*cur.set);
  if (!first) {
    --current;
  } else {
    current = entryCount - 1;
    time = totalLength;
  }
  // An entry reached without a fade starts at its end.
  C3MEKeyFrames* entering = entries[current].set;
  if (entering != nullptr && !fadedOut) {
    entering->Reset();
    entering->SetTime(entering->duration);
  }
}

void CANMSequence::PlaySimple() {
  if (entryCount == 0) return;
  current = std::min(current, entryCount - 1);
  C3MEKeyFrames* set = entries[current].set;
  if (set == nullptr) return;
  const float dt = Clock::Instance().GetGameDelta();
  time += dt;
  set->Advance(dt, 1.0f);
  if (dt == 0.0f || set->loop || (set->time < set->duration && set->time > 0.0f)) return;
  const bool last = current + 1 >= entryCount;
  // The last entry of a sequence that does not loop holds its end.
  if (last && !loop) return;
  set->time = 0.0f;
  if (!last)
    ++current;
  else
    RestartFromFirst();
}
