#include "engine/tools/MemoryWindow.h"

#include "engine/tools/DebugCanvas.h"

namespace {

constexpr uint32_t kBytesPerMegabyte = 1048576;
// Parts are indented under their totals.
constexpr int kPartColumn = 5;

}  // namespace

MemoryWindow::MemoryWindow() { name = "Vyre Memory"; }

MemoryWindow::~MemoryWindow() = default;

void MemoryWindow::DrawContents() {
  BeginContents(1, 1);
  PrintCounters(GetMemoryCounters());
}

// The counters are unsigned and wrap at 2^32, so they print unsigned.
void MemoryWindow::PrintCounters(const MemoryCounters& c) const {
  SetDebugTextCell(1, 1);
  const int h = GetDebugCanvas().FontHeight(frameStyle);
  const uint32_t bytes = c.TotalBytes();
  PrintfCell(frameStyle, 0, 0, "Used : %u(b) - %u(Mb)", bytes, bytes / kBytesPerMegabyte);
  PrintfCell(frameStyle, 0, h, "Alloc's : %u = %u", c.TotalAllocations(), bytes);
  PrintfCell(frameStyle, kPartColumn, 2 * h, "New : %u = %u", c.objectAllocations, c.objectBytes);
  PrintfCell(frameStyle, kPartColumn, 3 * h, "New[] : %u = %u", c.arrayAllocations, c.arrayBytes);
  PrintfCell(frameStyle, kPartColumn, 4 * h, "malloc : %u = %u", c.cLibraryAllocations, c.cLibraryBytes);
  PrintfCell(frameStyle, 0, 5 * h, "Dealloc's : %u", c.TotalFrees());
  PrintfCell(frameStyle, kPartColumn, 6 * h, "delete : %u", c.objectFrees);
  PrintfCell(frameStyle, kPartColumn, 7 * h, "delete[] : %u", c.arrayFrees);
  PrintfCell(frameStyle, kPartColumn, 8 * h, "free : %u", c.cLibraryFrees);
}

void MemoryWindow::SetDefaultFrame(int32_t fontIndex) {
  SetDeveloperFrame(fontIndex, Vector2(500, 149), Vector2(300, 196), kRight);
}
