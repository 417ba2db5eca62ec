// The window layout file (names, positions and sizes kept between runs) and
// the GUI definition reader.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/TitleBar.h"
#include "engine/gui/Window.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace {

// Layout and definition files are a few lines per window; anything larger
// is not one of ours.
constexpr size_t kMaxGUIFileBytes = 1 << 20;
// Window names are short; a longer one is cut rather than carried around.
constexpr size_t kMaxWindowName = 255;
// A stored place may lie off the 800 x 600 screen by up to one screen on
// every side; anything further is brought back to that margin, so scaled to
// the display it stays a small number of pixels.
constexpr float kDesignWidth = 800.0f;
constexpr float kDesignHeight = 600.0f;

// A file that cannot be read is a warning unless quiet (then whoever acts on
// it says what follows).
bool ReadLines(const char* path, std::vector<std::string>& lines, bool quiet = false) {
  if (path == nullptr) return false;
  std::string bytes;
  std::string reason;
  // One byte past the limit tells a file that is too large.
  switch (platform::ReadFileBytes(path, kMaxGUIFileBytes + 1, bytes, reason)) {
    case platform::FileRead::Missing:
      return false;
    case platform::FileRead::Unreadable:
      if (!quiet) LogWarning("GUI file %s cannot be read : %s", path, reason.c_str());
      return false;
    case platform::FileRead::Read:
      break;
  }
  if (bytes.size() > kMaxGUIFileBytes) {
    if (!quiet) LogWarning("GUI file too large : %s", path);
    return false;
  }
  std::string line;
  for (char c : bytes) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return true;
}

// The place a layout line gives a window, kept within the margin.
Rect StoredPlace(float x, float y, float w, float h) {
  x = std::clamp(x, -kDesignWidth, 2.0f * kDesignWidth);
  y = std::clamp(y, -kDesignHeight, 2.0f * kDesignHeight);
  w = std::clamp(w, 0.0f, 3.0f * kDesignWidth);
  h = std::clamp(h, 0.0f, 3.0f * kDesignHeight);
  Rect rect;
  rect.SetPositionSize({x, y}, {w, h});
  return rect;
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  const size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// The first word of a line, as a "%s" scan would take it.
std::string FirstWord(const std::string& text) {
  std::istringstream words(text);
  std::string word;
  words >> word;
  return word;
}

}  // namespace

namespace {

// One window's place as a layout file gives it.
struct LayoutEntry {
  std::string name;
  Rect place;
};

// The entries of a layout file's lines, in file order. False when the lines
// are not a whole layout (no header or count, too few lines, no end) or an
// entry's place is not a number; the entries before that point are given.
bool ParseLayout(const std::vector<std::string>& lines, const char* path, std::vector<LayoutEntry>& entries) {
  size_t next = 0;
  auto takeLine = [&](std::string& out) {
    if (next >= lines.size()) return false;
    out = lines[next++];
    return true;
  };
  std::string line;
  if (!takeLine(line) || FirstWord(line) != "[GUI]") return false;
  int count = 0;
  if (!takeLine(line) || std::sscanf(line.c_str(), "[NWINDOWS]%d", &count) != 1) return false;
  for (int i = 0; i < count; ++i) {
    std::string nameLine;
    std::string placeLine;
    if (!takeLine(nameLine) || !takeLine(placeLine)) return false;
    nameLine = Trimmed(nameLine);
    std::string windowName = nameLine.size() > 8 ? nameLine.substr(8) : std::string();
    if (windowName.size() > kMaxWindowName) windowName.resize(kMaxWindowName);
    float x = 0, y = 0, w = 0, h = 0;
    if (std::sscanf(placeLine.c_str(), "[%f,%f][%f,%f]", &x, &y, &w, &h) != 4) continue;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) {
      LogGEM("GUI layout : no usable place for window %s in %s", windowName.c_str(), path);
      return false;
    }
    entries.push_back({std::move(windowName), StoredPlace(x, y, w, h)});
  }
  return takeLine(line) && FirstWord(line) == "[END]";
}

void AppendEntry(std::string& bytes, const char* name, const Rect& place) {
  char buffer[600];
  bytes += "[WINDOW]";
  bytes += name;
  bytes += "\n";
  const Vector2 size = place.GetSize();
  std::snprintf(buffer, sizeof buffer, "[%g,%g][%g,%g]\n", place.min.x, place.min.y, size.x, size.y);
  bytes += buffer;
}

}  // namespace

bool GUIWindowManager::WriteLayout(const char* path) const {
  // The places the file keeps for windows this run has not made (yet) stay
  // in it. A file that is there but cannot be read is not written over: the
  // write below refuses it, and its line says so.
  std::vector<std::string> lines;
  std::vector<LayoutEntry> saved;
  if (ReadLines(path, lines, true)) ParseLayout(lines, path, saved);
  // The windows last to first, as they are drawn.
  const std::vector<const Window*> made(windows_.rbegin(), windows_.rend());
  std::vector<bool> written(made.size(), false);
  auto madeNamed = [&](const std::string& name, bool unwrittenOnly) {
    for (size_t i = 0; i < made.size(); ++i) {
      if ((!unwrittenOnly || !written[i]) && name == made[i]->name.Chars()) return static_cast<int>(i);
    }
    return -1;
  };
  // The file's order stays: each saved entry gives way to the made window of
  // its name; the windows the file did not know follow.
  std::string entries;
  int count = 0;
  for (const LayoutEntry& entry : saved) {
    const int window = madeNamed(entry.name, true);
    if (window >= 0) {
      written[window] = true;
      AppendEntry(entries, made[window]->name.Chars(), made[window]->outer);
    } else if (madeNamed(entry.name, false) >= 0) {
      continue;  // more entries of the name than made windows: the made ones' places win
    } else {
      AppendEntry(entries, entry.name.c_str(), entry.place);
    }
    ++count;
  }
  for (size_t i = 0; i < made.size(); ++i) {
    if (written[i]) continue;
    AppendEntry(entries, made[i]->name.Chars(), made[i]->outer);
    ++count;
  }
  char header[64];
  std::snprintf(header, sizeof header, "[GUI]\n[NWINDOWS]%d\n", count);
  const std::string bytes = header + entries + "[END]";
  std::string reason = "no file name";
  if (path == nullptr || path[0] == '\0' || !platform::ReplaceFileAtomically(path, bytes, &reason)) {
    LogSaveFailure("Could not write the GUI layout : %s : %s", path != nullptr ? path : "", reason.c_str());
    return false;
  }
  return true;
}

bool GUIWindowManager::ReadLayout(const char* path) {
  std::vector<std::string> lines;
  if (!ReadLines(path, lines)) return false;
  std::vector<LayoutEntry> entries;
  const bool whole = ParseLayout(lines, path, entries);
  for (const LayoutEntry& entry : entries) {
    Window* window = FindWindow(entry.name.c_str());
    if (window != nullptr) window->Layout(entry.place, entry.place);
  }
  return whole;
}

namespace {

// Reads one window's block; `next` is the line after the requested name.
void ReadWindowBlock(Window* window, const std::vector<std::string>& lines, size_t& next) {
  if (next >= lines.size()) return;
  std::string blockName = Trimmed(lines[next++]);
  if (blockName.size() > kMaxWindowName) blockName.resize(kMaxWindowName);
  if (blockName.empty()) {
    window->name.noNewline = 1;
    window->name.Format("Default_%d", window->GetId());
  } else {
    window->name = blockName.c_str();
  }
  if (next >= lines.size() || lines[next].rfind('{', 0) != 0) return;
  ++next;
  while (next < lines.size() && lines[next].rfind('}', 0) != 0) {
    const std::string entry = Trimmed(lines[next++]);
    const size_t keyEnd = entry.find_first_of(" \t");
    const std::string key = entry.substr(0, keyEnd);
    const std::string value = keyEnd == std::string::npos ? std::string() : entry.substr(keyEnd);
    if (key == "[TITLEBAR]") {
      const std::string caption = Trimmed(value);
      window->CreateTitleBar(caption.empty() ? window->name.Chars() : caption.c_str(), 0x1c00);
    }
    // The other keys carry values nothing in the engine reads yet.
  }
  if (next < lines.size()) ++next;
}

void SkipWindowBlock(const std::vector<std::string>& lines, size_t& next) {
  if (next < lines.size()) ++next;
  while (next < lines.size() && lines[next].rfind('}', 0) != 0) ++next;
  if (next < lines.size()) ++next;
}

}  // namespace

bool GUIWindowManager::LoadGUIDefinition(const char* path) {
  std::vector<std::string> lines;
  if (!ReadLines(path, lines)) return false;
  if (lines.empty() || Trimmed(lines[0]) != "[GUI]") return false;
  size_t next = 1;
  std::string last = "[GUI]";
  while (next < lines.size()) {
    last = Trimmed(lines[next++]);
    if (last.size() <= 1 || last == "[END]") continue;
    if (last.size() > kMaxWindowName) last.resize(kMaxWindowName);
    Window* window = RequestWindow(last.c_str());
    if (window != nullptr && window->HasState(GUIState::kDefaults)) {
      ReadWindowBlock(window, lines, next);
    } else {
      SkipWindowBlock(lines, next);
    }
  }
  return last == "[END]";
}
