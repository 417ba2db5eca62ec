#pragma once
// The terminal: the debugger output (standard error) and the standard
// output. What the engine and its readers print there was seen by nobody on
// the platform the game was designed for; here the terminal belongs to the
// player. So it shows warnings and errors, and every line only while the
// developer switch ("-dev") is on. The log channels and their files keep
// their lines whatever the terminal shows.

namespace platform {

// How much a line matters to the player, said where the line is written.
enum class Severity : unsigned char { Info, Warning, Error };

// The developer switch: every line (true) or warnings and errors only (false,
// the start).
void SetTerminalShowsEveryLine(bool every);
bool TerminalShowsEveryLine();
// True when a line of this severity reaches the terminal now.
bool TerminalShows(Severity severity);

// Writes the text as it is (no line end added) to standard error and flushes,
// when the terminal shows the severity.
void DebugOutput(const char* text, Severity severity = Severity::Info);
// Writes the text as it is to the standard output, when the terminal shows
// the severity.
void StandardOutput(const char* text, Severity severity = Severity::Info);

}  // namespace platform
