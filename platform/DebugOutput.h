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

// Both streams often end in one file, pipe or terminal ("-dev >file 2>&1"):
// every line goes out whole, in one write, when its line end is written, so
// the lines of the two streams come out in the order they were finished and
// never cut into each other. A piece without a line end waits for the rest
// of its line (or for FlushTerminal, or the end of the process).

// Writes the text as it is (no line end added) to standard error, when the
// terminal shows the severity.
void DebugOutput(const char* text, Severity severity = Severity::Info);
// Writes the text as it is to the standard output, when the terminal shows
// the severity.
void StandardOutput(const char* text, Severity severity = Severity::Info);
// Sends the pieces of unfinished lines as they are: for a process about to
// end without running its exit handlers.
void FlushTerminal();

}  // namespace platform
