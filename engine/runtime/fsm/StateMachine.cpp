#include "engine/runtime/fsm/StateMachine.h"

#include "engine/foundation/Log.h"

#include <cstdarg>

namespace {
constexpr int kStateMachineLogChannel = kLogFSM;
}

void ConsolePrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogVPrintf(kStateMachineLogChannel, format, args);
  va_end(args);
}

// Lives on the stack of a step; the machine's destructor marks every guard of
// the steps running on it, so they stop touching the freed machine.
struct StateMachine::StepGuard {
  explicit StepGuard(StateMachine* owner) : machine(owner), outer(owner->stepGuard) {
    owner->stepGuard = this;
  }
  ~StepGuard() {
    if (!destroyed) machine->stepGuard = outer;
  }
  StateMachine* machine;
  StepGuard* outer;
  bool destroyed = false;
};

StateMachine::StateMachine() = default;

StateMachine::~StateMachine() {
  for (StepGuard* guard = stepGuard; guard; guard = guard->outer) guard->destroyed = true;
}

void StateMachine::Update() {
  if (pending && current) {
    ConsolePrintf("Exit|'%s'", current->Name().Chars());
    StepGuard guard(this);
    current->Exit();
    if (guard.destroyed) return;
    current = nullptr;
    return;
  }
  if (pending) {
    current = pending;
    ConsolePrintf("Enter|'%s' ", current->Name().Chars());
    pending = nullptr;
    current->Enter();
    return;
  }
  if (current) current->Update();
}

bool StateMachine::Next(FsmState* state) {
  if (!state) return false;
  ConsolePrintf("Next|'%s'", state->Name().Chars());
  pending = state;
  return true;
}

void StateMachine::Push(FsmState* state) {
  if (!current || !state) return;
  ConsolePrintf("Push|'%s'|'%s'", current->Name().Chars(), state->Name().Chars());
  pushed = current;
  Next(state);
}

void StateMachine::Pop() {
  if (!current) return;
  if (!pushed) {
    ConsolePrintf("Pop|'%s'|NULL!", current->Name().Chars());
    return;
  }
  ConsolePrintf("Pop|'%s'|'%s'", current->Name().Chars(), pushed->Name().Chars());
  FsmState* state = pushed;
  pushed = nullptr;
  Next(state);
}

void StateMachine::HandleMessage(CMSGMessage* message) {
  if (current) current->Message(message);
}

const String& StateMachine::GetCurrentStateName() const {
  static const String kNoState;
  return current ? current->Name() : kNoState;
}
