#include "game/shell/CreditsText.h"

#include <cmath>
#include <cstring>

#include "engine/foundation/File.h"
#include "engine/foundation/Log.h"

namespace {

constexpr float kSpaceAdvance = 16.0f;

struct Marker {
  const char* text;
  CreditsKind kind;
};

// In the order they are looked for: the first found decides.
constexpr Marker kMarkers[] = {
    {"<SPACE>", CreditsKind::Space},
    {"<TEXT>", CreditsKind::Text},
    {"<TITLE>", CreditsKind::Title},
    {"<RULE>", CreditsKind::Rule},
};

}  // namespace

CreditsLine ClassifyCreditsLine(const String& line) {
  String body = line;
  const int length = static_cast<int>(body.Length());
  if (length > 0 && body.Chars()[length - 1] == '\n') body = body.Left(length - 1);
  CreditsLine result;
  for (const Marker& marker : kMarkers) {
    if (body.Find(marker.text) < 0) continue;
    result.kind = marker.kind;
    const int markerLength = static_cast<int>(std::strlen(marker.text));
    if (marker.kind == CreditsKind::Text || marker.kind == CreditsKind::Title) {
      result.text = body.Right(static_cast<int>(body.Length()) - markerLength);
    }
    return result;
  }
  return result;
}

std::vector<CreditsItem> LayoutCredits(const std::vector<String>& lines, int32_t textLineHeight,
                                       int32_t titleLineHeight) {
  std::vector<CreditsItem> items;
  float y = 0.0f;
  for (const String& line : lines) {
    CreditsLine entry = ClassifyCreditsLine(line);
    switch (entry.kind) {
      case CreditsKind::Skipped:
        continue;
      case CreditsKind::Space:
        y += kSpaceAdvance;
        continue;
      case CreditsKind::Rule:
        items.push_back({entry.kind, String(), y});
        continue;
      case CreditsKind::Text:
      case CreditsKind::Title: {
        const float step = entry.kind == CreditsKind::Title ? static_cast<float>(titleLineHeight)
                                                            : static_cast<float>(textLineHeight) * 0.5f;
        items.push_back({entry.kind, entry.text, y});
        y = std::floor(y + step);
        continue;
      }
    }
  }
  return items;
}

std::vector<String> ReadCreditsLines(const char* path) {
  std::vector<String> lines;
  FileText file;
  if ((file.OpenRead(path) & File::kOpen) == 0) return lines;
  while (!file.IsEOF() && file.IsOpen()) {
    if (lines.size() >= kMaxCreditsLines) {
      LogWarning("Credits : %s holds more than %u lines; the rest is not shown", path, kMaxCreditsLines);
      break;
    }
    String line;
    file.ReadLine(line);
    // The end of the file reads as one empty line.
    if (line.Length() == 0 && file.IsEOF()) break;
    lines.push_back(line);
  }
  file.Close();
  return lines;
}
