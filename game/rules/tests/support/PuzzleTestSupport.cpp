#include "PuzzleTestSupport.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/messages/MSGService.h"
#include "game/rules/GameMessages.h"
#include "platform/Random.h"

namespace puzzle_test {

namespace {

constexpr char kColourLetters[] = "ROYGCBIWKA";

char StateMark(GemState state) {
  switch (state) {
    case GemState::Empty:
      return '.';
    case GemState::Falling:
      return '~';
    case GemState::InFlight:
      return '^';
    case GemState::Expired:
      return '!';
    case GemState::Breaking:
      return '*';
    case GemState::Dead:
      return 'x';
    default:
      return '?';
  }
}

}  // namespace

int ColourOfLetter(char letter) {
  const char* found = std::strchr(kColourLetters, std::toupper(static_cast<unsigned char>(letter)));
  return letter != '\0' && found ? static_cast<int>(found - kColourLetters) : -1;
}

std::unique_ptr<CGPuzzleDisc> DrawDisc(const std::vector<std::string>& rings) {
  auto disc = std::make_unique<CGPuzzleDisc>(static_cast<unsigned>(rings.size()),
                                             static_cast<unsigned>(rings.empty() ? 0 : rings[0].size()));
  for (size_t r = 0; r < rings.size(); ++r) {
    for (size_t c = 0; c < rings[r].size(); ++c) {
      const char letter = rings[r][c];
      const int colour = ColourOfLetter(letter);
      if (colour < 0) continue;
      CGPuzzleGem& gem = disc->GemAt(static_cast<int>(r), static_cast<int>(c));
      gem.SetColour(colour);
      gem.state = std::isupper(static_cast<unsigned char>(letter)) ? GemState::Settled : GemState::Placed;
    }
  }
  return disc;
}

std::string DrawRing(const CGPuzzleDisc& disc, int ring) {
  std::string text;
  for (unsigned c = 0; c < disc.slotsPerRing; ++c) {
    const CGPuzzleGem& gem = disc.GemAt(ring, static_cast<int>(c));
    const char letter = gem.colour >= 0 && gem.colour < kGemColourCount ? kColourLetters[gem.colour] : '?';
    if (gem.state == GemState::Settled) {
      text += letter;
    } else if (gem.state == GemState::Placed) {
      text += static_cast<char>(std::tolower(letter));
    } else {
      text += StateMark(gem.state);
    }
  }
  return text;
}

void StartLogCapture() {
  EnableTestLogChannels();
  ClearLogLines(kLogDBG);
  ClearLogLines(kLogGEM);
}

RecordingReceiver::RecordingReceiver(const char* listenerName) { name = listenerName; }

void RecordingReceiver::OnMessage(CMSGMessage* message) {
  Received entry;
  entry.id = message->id;
  entry.parameter = message->parameter;
  if (message->id == eMSG_GMatchedSame || message->id == eMSG_GMatchedMixed) {
    entry.match = *reinterpret_cast<const MatchRecord*>(message->parameter);
    entry.shapes.assign(entry.match.shapes, entry.match.shapes + entry.match.gemCount);
  } else if (message->id == eMSG_GColourLeftDisc) {
    entry.colour = *reinterpret_cast<const int*>(message->parameter);
  }
  received.push_back(entry);
  if (onMessage) onMessage(*message);
}

std::vector<uint32_t> RecordingReceiver::Ids() const {
  std::vector<uint32_t> ids;
  for (const Received& entry : received) ids.push_back(entry.id);
  return ids;
}

int RecordingReceiver::Count(uint32_t id) const {
  return static_cast<int>(
      std::count_if(received.begin(), received.end(), [id](const Received& entry) { return entry.id == id; }));
}

GameReceivers::GameReceivers() {
  platform::SeedRandom(20261210);
  GetGEMMSGService()->AddListener(&game);
  GetGEMMSGService()->AddListener(&audio);
  RegisterGameMessages(game.receiverId, audio.receiverId);
}

GameReceivers::~GameReceivers() { RegisterGameMessages(-1, -1); }

}  // namespace puzzle_test
