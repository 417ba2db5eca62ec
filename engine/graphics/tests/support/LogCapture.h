#pragma once
// Routes the module channels to their own rings for one test and reads the
// lines back.

#include <string>
#include <vector>

class LogCapture {
 public:
  // Turns every module channel on (filter "ALL") and empties the channel.
  explicit LogCapture(int channel);
  ~LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // The lines written since, oldest first, without the tag and line end.
  std::vector<std::string> Lines() const;
  // True when some line equals the text exactly.
  bool Has(const std::string& text) const;

 private:
  int channel_;
};
