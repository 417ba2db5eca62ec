#include "game/rules/BoardFile.h"

#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"

namespace {

bool InRange(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

// Reads one gem record. A colour, shape or state no gem can have leaves the
// slot Empty: a stored InFlight or Falling slot would hold matching back
// for good. Returns false for such a record.
bool ReadGem(File& file, CGPuzzleGem& gem) {
  const int32_t colour = file.ReadInt();
  const int32_t shape = file.ReadInt();
  const int32_t state = file.ReadInt();
  const bool valid =
      InRange(colour, 0, kGemColourCount - 1) && InRange(shape, 0, kGemTypeCount - 1) &&
      (state == static_cast<int32_t>(GemState::Empty) || state == static_cast<int32_t>(GemState::Settled));
  gem = CGPuzzleGem();
  if (!valid) return false;
  gem.SetColour(colour);  // a White gem starts its countdown
  gem.type = shape;
  gem.state = static_cast<GemState>(state);
  return true;
}

void WriteGem(File& file, const CGPuzzleGem& gem) {
  file.WriteInt(gem.colour);
  file.WriteInt(gem.type);
  file.WriteInt(static_cast<int32_t>(gem.state));
}

}  // namespace

bool ReadBoard(const char* path, std::vector<std::unique_ptr<CGPuzzleDisc>>& discs) {
  discs.clear();
  File file;
  file.OpenRead(path);
  LogDBG("Loading boards from %s", path);
  if (!file.IsOpen()) {
    LogError("Load failed! Cannot open the board %s", path);
    return false;
  }
  // A missing or truncated count reads as 0 and is refused with the rest.
  const int32_t discCount = file.ReadInt();
  if (!InRange(discCount, 1, kMaxBoardDiscs)) {
    LogError("Load failed! %s holds %d discs (1 to %d)", path, discCount, kMaxBoardDiscs);
    return false;
  }
  LogDBG("\tReading %d discs...", discCount);
  bool mended = false;
  for (int32_t d = 0; d < discCount; ++d) {
    const int32_t rings = file.ReadInt();
    const int32_t gems = file.ReadInt();
    const int32_t pipe = file.ReadInt();
    LogDBG("\tLoading disc [%d] Rings(%d) Gems(%d) Pipe(%d)", d, rings, gems, pipe);
    if (!InRange(rings, 1, kMaxBoardRings) || !InRange(gems, kMinBoardGems, kMaxBoardGems) ||
        !InRange(pipe, 0, kMaxBoardPipe)) {
      LogError("Load failed! Disc %d of %s lies outside %d rings, %d to %d gems and a pipe of %d", d, path,
               kMaxBoardRings, kMinBoardGems, kMaxBoardGems, kMaxBoardPipe);
      discs.clear();
      return false;
    }
    auto disc = std::make_unique<CGPuzzleDisc>(static_cast<unsigned>(rings), static_cast<unsigned>(gems));
    if (pipe == 0) {
      disc->queue->Init(kGeneratedPipeLength);
      disc->queue->mode = kPipeGenerated;
    } else {
      disc->queue->Init(static_cast<unsigned>(pipe));
    }
    for (int32_t r = 0; r < rings; ++r) {
      for (int32_t s = 0; s < gems; ++s) mended |= !ReadGem(file, disc->GemAt(r, s));
    }
    for (int32_t q = 0; q < pipe; ++q) mended |= !ReadGem(file, disc->queue->entries[q]);
    discs.push_back(std::move(disc));
  }
  if (mended) LogWarning("%s holds gems no disc can have; their slots are empty", path);
  file.Close();
  LogDBG("Done.");
  return true;
}

bool WriteBoard(const char* path, const std::vector<const CGPuzzleDisc*>& discs) {
  File file;
  file.OpenWrite(path);
  if (!file.IsOpen()) return false;
  file.WriteInt(static_cast<int32_t>(discs.size()));
  for (const CGPuzzleDisc* disc : discs) {
    const CGPuzzlePipe& queue = *disc->queue;
    file.WriteInt(static_cast<int32_t>(disc->ringCount));
    file.WriteInt(static_cast<int32_t>(disc->slotsPerRing));
    file.WriteInt(static_cast<int32_t>(queue.capacity));
    for (unsigned r = 0; r < disc->ringCount; ++r) {
      for (unsigned s = 0; s < disc->slotsPerRing; ++s)
        WriteGem(file, disc->GemAt(static_cast<int>(r), static_cast<int>(s)));
    }
    for (unsigned q = 0; q < queue.capacity; ++q) WriteGem(file, queue.At(q));
  }
  const bool written = (file.GetFlags() & File::kTransferFailed) == 0;
  file.Close();
  return written;
}
