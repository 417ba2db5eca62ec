#pragma once

// The credits file "Resources/Credits.txt": one line per entry, marked at
// its start with "<TITLE>", "<TEXT>", "<SPACE>" or "<RULE>"; unmarked lines
// are skipped. The lines are laid out top to bottom from y = 0.

#include <cstdint>
#include <vector>

#include "engine/foundation/String.h"

enum class CreditsKind {
  Skipped,  // no marker: nothing drawn, no advance
  Space,    // the next line follows 16 units lower
  Text,     // drawn in the text font; half a line height lower
  Title,    // drawn in the title font; a line height lower
  Rule,     // three lines; no advance
};

struct CreditsLine {
  CreditsKind kind = CreditsKind::Skipped;
  // What a title or a text line draws.
  String text;
};

// One drawn entry of the page.
struct CreditsItem {
  CreditsKind kind = CreditsKind::Skipped;
  String text;
  float y = 0.0f;
};

// The most lines a credits file gives; the rest is not read.
inline constexpr uint32_t kMaxCreditsLines = 4096;

// The kind of a line and its text. The line feed a read keeps is cut first
// (it would be drawn and shift the centring); other blanks stay. The markers
// are looked for anywhere in the order SPACE, TEXT, TITLE, RULE, and the
// marker's length is cut from the start.
CreditsLine ClassifyCreditsLine(const String& line);
// Places the lines: titles and texts at their y, which then becomes
// floor(y + step) with step the line height of the title font or half that
// of the text font; a space adds 16; a rule stays at the y it was met.
std::vector<CreditsItem> LayoutCredits(const std::vector<String>& lines, int32_t textLineHeight,
                                       int32_t titleLineHeight);
// The file's lines (text mode: CRLF reads as LF); empty when it cannot be
// opened, at most kMaxCreditsLines.
std::vector<String> ReadCreditsLines(const char* path);
