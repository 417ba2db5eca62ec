#pragma once

// The state-machine part of every active object: a current state, a pending
// state that the next steps change to, and a pushed state to return to.
// A change takes two steps: the step after the request leaves the old state,
// the next one enters the new state, whose Update first runs a step later.

#include "engine/foundation/String.h"
#include "engine/runtime/fsm/FsmState.h"

class CMSGMessage;

class StateMachine {
 public:
  // Starts in the built-in "NULL" state with nothing pending or pushed.
  StateMachine();
  StateMachine(const StateMachine&) = delete;
  StateMachine& operator=(const StateMachine&) = delete;
  virtual ~StateMachine();

  // One transition step: leave the current state when a change is pending,
  // else enter the pending state, else update the current state.
  virtual void Update();

  // Requests the state as the next one (replacing any earlier request).
  bool Next(FsmState* state);
  // Remembers the current state and requests the new one; nothing without a current state.
  void Push(FsmState* state);
  // Requests the pushed state again; nothing without a current state.
  void Pop();

  // Hands a message to the current state; dropped while no state is current.
  void HandleMessage(CMSGMessage* message);

  bool IsCurrent(const FsmState* state) const { return current_ == state; }
  bool IsPending(const FsmState* state) const { return pending_ == state; }
  bool IsPushed(const FsmState* state) const { return pushed_ == state; }
  FsmState* GetCurrentState() const { return current_; }
  FsmState* GetPendingState() const { return pending_; }
  FsmState* GetPushedState() const { return pushed_; }
  // The built-in "NULL" state.
  FsmState* GetNullState() { return &nullState_; }
  // The current state's name, or an empty text while none is current.
  const String& GetCurrentStateName() const;

 private:
  // Lets a step notice that a handler destroyed the machine.
  struct StepGuard;

  FsmState nullState_{"NULL"};
  FsmState* current_ = &nullState_;
  FsmState* pending_ = nullptr;
  FsmState* pushed_ = nullptr;
  StepGuard* stepGuard_ = nullptr;
};

// Writes a formatted line to the state-machine trace channel.
void ConsolePrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
