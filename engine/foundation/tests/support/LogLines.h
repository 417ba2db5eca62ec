#pragma once
// Reading back what the code under test wrote to the log: the one way every
// test of every layer reads it.
//
// A module channel keeps each line as "TAG|text" (its own three-letter tag);
// the read-back drops that tag and the line end. The main channel tags
// nothing of its own, so the copies of module lines it holds keep their tags
// there: they say which module wrote them. A channel that does not exist
// (logging off, or its tag filtered out) reads as the main channel, where
// its lines went.

#include <string>
#include <vector>

// Turns every module channel on (filter "ALL", no files) until something
// installs other switches.
void EnableTestLogChannels();
// The texts of the lines the channel keeps, oldest first, without the
// channel's tag and the line end.
std::vector<std::string> LogLinesOf(int channel);
// How many lines of the channel read exactly the text.
int CountLogLines(int channel, const std::string& text);
// True when some line of the channel contains the text.
bool LogContains(int channel, const std::string& text);
// Forgets the channel's lines.
void ClearLogLines(int channel);

// Watches one channel for a test: every module channel on and the channel
// emptied at the start, the default switches back at the end.
class LogCapture {
 public:
  explicit LogCapture(int channel);
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // The lines written since, as LogLinesOf reads them.
  std::vector<std::string> Lines() const;
  // True when some line equals the text exactly.
  bool Has(const std::string& text) const;
  // True when some line contains the text.
  bool Contains(const std::string& text) const;

 private:
  int channel_;
};

// Starts the log afresh for the object's life and again at its end: no
// module channel exists yet, every tag may have one, nothing goes to files.
// For tests of what happens before and after a channel comes to exist.
class FreshLog {
 public:
  FreshLog();
  ~FreshLog();
  FreshLog(const FreshLog&) = delete;
  FreshLog& operator=(const FreshLog&) = delete;
};
