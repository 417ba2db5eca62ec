#pragma once
// Per-frame render statistics: a ring of the last 9000 frame records that the
// drawing code counts primitives into, for the performance windows.

#include <cstdint>
#include <memory>

class GFXStats {
 public:
  static constexpr uint32_t kCapacity = 9000;
  static constexpr int kCounterCount = 21;
  // Counters the drawing code writes; the others stay 0.
  static constexpr int kLines = 11;
  static constexpr int kTriangles = 12;

  // One frame: its number, the frame rate then, and the counters (23 words).
  struct Record {
    uint32_t frame;
    float fps;
    uint32_t counters[kCounterCount];
  };
  static_assert(sizeof(Record) == 23 * 4, "a record is 23 words");

  GFXStats();
  virtual ~GFXStats();
  GFXStats(const GFXStats&) = delete;
  GFXStats& operator=(const GFXStats&) = delete;

  // The program's statistics, built on first use.
  static GFXStats* GetInstance();
  // True while an instance exists.
  static bool Exists();

  // Stamps the current record with the frame number and rate, then moves on
  // to a zeroed next record (wrapping after 9000).
  void EndFrame(uint32_t frame, float fps);

  // Adds n to a counter of the current record, raising the peak with it.
  void Add(int counter, uint32_t n) {
    uint32_t value = records_[current_].counters[counter] += n;
    if (value > peak_.counters[counter]) peak_.counters[counter] = value;
  }
  // What the drawing primitives count.
  void CountQuads(uint32_t quads) { Add(kTriangles, 2 * quads); }
  void CountOutlines(uint32_t rectangles) { Add(kLines, 4 * rectangles); }
  void CountLines(uint32_t lines) { Add(kLines, lines); }
  void CountTriangleList(uint32_t indices) { Add(kTriangles, indices / 3); }
  // A strip or a fan of count vertices (fewer than three draw nothing).
  void CountTriangleStrip(uint32_t vertices) { Add(kTriangles, vertices >= 2 ? vertices - 2 : 0); }

  uint32_t GetCapacity() const { return kCapacity; }
  uint32_t GetCurrentIndex() const { return current_; }
  bool HasWrapped() const { return wrapped_ != 0; }
  const Record& GetCurrent() const { return records_[current_]; }
  const Record& GetRecord(uint32_t index) const { return records_[index % kCapacity]; }
  // The record framesBack (0 or negative) frames before the current one;
  // before the first record the ring wraps when it has wrapped, else stays at 0.
  const Record& GetRecordBack(int framesBack) const;
  // Per-word maxima over every frame so far.
  const Record& GetPeak() const { return peak_; }

 private:
  uint8_t wrapped_ = 0;
  uint32_t current_ = 0;
  std::unique_ptr<Record[]> records_;
  Record peak_{};
};
