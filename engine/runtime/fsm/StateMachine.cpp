#include "engine/runtime/fsm/StateMachine.h"

#include <cstdarg>

#include "engine/foundation/Log.h"

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
  explicit StepGuard(StateMachine* owner) : machine(owner), outer(owner->stepGuard_) { owner->stepGuard_ = this; }
  ~StepGuard() {
    if (!destroyed) machine->stepGuard_ = outer;
  }
  StateMachine* machine;
  StepGuard* outer;
  bool destroyed = false;
};

StateMachine::StateMachine() = default;

StateMachine::~StateMachine() {
  for (StepGuard* guard = stepGuard_; guard; guard = guard->outer) guard->destroyed = true;
}

void StateMachine::Update() {
  if (pending_ && current_) {
    ConsolePrintf("Exit|'%s'", current_->Name().Chars());
    StepGuard guard(this);
    current_->Exit();
    if (guard.destroyed) return;
    current_ = nullptr;
    return;
  }
  if (pending_) {
    current_ = pending_;
    ConsolePrintf("Enter|'%s' ", current_->Name().Chars());
    pending_ = nullptr;
    current_->Enter();
    return;
  }
  if (current_) current_->Update();
}

bool StateMachine::Next(FsmState* state) {
  if (!state) return false;
  ConsolePrintf("Next|'%s'", state->Name().Chars());
  pending_ = state;
  return true;
}

void StateMachine::Push(FsmState* state) {
  if (!current_ || !state) return;
  ConsolePrintf("Push|'%s'|'%s'", current_->Name().Chars(), state->Name().Chars());
  pushed_ = current_;
  Next(state);
}

void StateMachine::Pop() {
  if (!current_) return;
  if (!pushed_) {
    ConsolePrintf("Pop|'%s'|NULL!", current_->Name().Chars());
    return;
  }
  ConsolePrintf("Pop|'%s'|'%s'", current_->Name().Chars(), pushed_->Name().Chars());
  FsmState* state = pushed_;
  pushed_ = nullptr;
  Next(state);
}

void StateMachine::HandleMessage(CMSGMessage* message) {
  if (current_) current_->Message(message);
}

const String& StateMachine::GetCurrentStateName() const {
  static const String kNoState;
  return current_ ? current_->Name() : kNoState;
}
