#pragma once
// One numbered channel of the log: a ring of its last lines in memory (read
// by the developer log window) and, when files are on, a file of its own.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/foundation/NameMap.h"
#include "engine/foundation/PooledList.h"
#include "engine/foundation/String.h"

// One record of a channel's ring.
struct LogLine {
  uint32_t frameNumber = 0;  // the clock's frame when written
  float realTime = 0.0f;     // the clock's real time when written
  int32_t lineIndex = 0;     // ring position it was stored at
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  String text;  // "TAG|text" for module channels, with its own line end
};

class LogChannel : public PooledObject {
 public:
  LogChannel() = default;
  // Closes the file and frees the line records.
  ~LogChannel() override;

  // (Re)starts the channel: name, file (empty: none), colour and a ring of
  // lineCapacity records, all empty.
  void Initialise(const char* name, const char* fileName, const float colour[4], uint32_t lineCapacity);

  // Points the channel at another file (empty: none), closing the old one.
  void SetFileName(const char* fileName);

  // Copies the text into a shared string and writes it (a null text is
  // ignored).
  void Print(const char* text, const float* colour = nullptr);
  // Stores the line in the ring, appends it to the file, and copies it,
  // tagged, to the main channel. A text holding "/=" writes the separator.
  void Write(const String& text, const float* colour = nullptr);
  // Writes 72 "=" and a line end.
  void WriteSeparator();
  // Empties the ring's texts and starts it again at record 0.
  void Clear();

  // The record at ring position n, null past the ring.
  const LogLine* GetLine(uint32_t n) const;
  // The texts of the kept lines, oldest first (after a wrap the ring starts
  // at the write index), without their line ends.
  std::vector<std::string> LinesInOrder() const;
  // Ring position the next line goes to.
  uint32_t GetWriteIndex() const { return writeIndex_; }
  uint32_t GetLineCapacity() const { return lineCapacity_; }
  bool IsWrapped() const { return wrapped_ != 0; }
  bool IsEnabled() const { return enabled_ != 0; }
  void SetEnabled(bool enabled) { enabled_ = enabled ? 1 : 0; }
  const String& GetName() const { return name_; }
  const String& GetFileName() const { return fileName_; }
  const float* GetColour() const { return colour_; }

 private:
  void FreeLines();
  void AppendToFile(uint32_t frameNumber, const String& text);

  uint8_t enabled_ = 1;
  PooledList* lines_ = nullptr;
  PooledListNode* writeNode_ = nullptr;  // record at writeIndex_
  uint8_t wrapped_ = 0;
  uint32_t lineCapacity_ = 0;
  uint32_t writeIndex_ = 0;
  String name_;
  String fileName_;
  float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  FILE* file_ = nullptr;
};
