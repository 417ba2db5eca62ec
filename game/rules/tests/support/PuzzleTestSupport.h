#pragma once

// Helpers for the tests of the rules and of the game above them: discs drawn as text, and receivers standing
// in for the game and the audio layer on the real GEM service.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "game/rules/PuzzleDisc.h"

namespace puzzle_test {

// A disc drawn ring by ring, ring 0 (the centre) first; each character is a
// column. Upper-case letters are Settled gems of shape 0, lower-case ones
// Placed gems: R O Y G C B I (the rainbow), W White, K Black, A Gold.
// '.' is Empty. White gems get their countdown as in play.
std::unique_ptr<CGPuzzleDisc> DrawDisc(const std::vector<std::string>& rings);
// A ring drawn the same way; also '*' Breaking, '~' Falling, '^' InFlight,
// 'x' Dead, '!' Expired.
std::string DrawRing(const CGPuzzleDisc& disc, int ring);
// The colour of a letter, or -1.
int ColourOfLetter(char letter);

// Turns every module channel on (no files) and forgets the DBG and GEM
// lines written so far; LogLinesOf (LogLines.h) reads them back.
void StartLogCapture();

// One message as the receiver saw it, with a copy of what it pointed at.
struct Received {
  uint32_t id = 0;
  intptr_t parameter = 0;
  // For the match messages: the record and its shapes.
  MatchRecord match;
  std::vector<int> shapes;
  // For the colour-left message: the colour.
  int colour = -1;
};

class RecordingReceiver : public CMSGListener {
 public:
  explicit RecordingReceiver(const char* listenerName);
  void OnMessage(CMSGMessage* message) override;
  std::vector<uint32_t> Ids() const;
  int Count(uint32_t id) const;

  std::vector<Received> received;
  // Called with each message after it was recorded.
  std::function<void(const CMSGMessage&)> onMessage;
};

// Seeds the generator and registers a game and an audio receiver on the GEM
// service as the program-wide ids; both ids go back to -1 afterwards.
class GameReceivers {
 public:
  GameReceivers();
  ~GameReceivers();
  RecordingReceiver game{"Test game"};
  RecordingReceiver audio{"Test audio"};
};

}  // namespace puzzle_test
