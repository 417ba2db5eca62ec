#pragma once

// One named state of a state machine, with up to four handlers of its owner.

#include "engine/foundation/String.h"

class CMSGMessage;

// A state as the machine sees it. The handlers do nothing here; an owner's
// states are FsmStateOf<Owner>, which call the owner's member functions.
class FsmState {
 public:
  FsmState() = default;
  explicit FsmState(const char* stateName) : name_(stateName) {}
  FsmState(const FsmState&) = delete;
  FsmState& operator=(const FsmState&) = delete;
  virtual ~FsmState() = default;

  // Renames the state.
  virtual void SetName(String newName) { name_ = newName; }
  // A copy of the state's name.
  virtual String GetName() const { return name_; }
  // The state's name without a copy.
  const String& Name() const { return name_; }

  // Called by the machine's step that makes the state current.
  virtual void Enter() {}
  // Called by every later step while no change is pending.
  virtual void Update() {}
  // Called with each message delivered to the owner while the state is current.
  virtual void Message(CMSGMessage*) {}
  // Called by the step that leaves the state.
  virtual void Exit() {}

 protected:
  String name_;
};

// A state whose handlers are member functions of its owner; a null handler is skipped.
template <class Owner>
class FsmStateOf : public FsmState {
 public:
  using Handler = void (Owner::*)();
  using MessageHandler = void (Owner::*)(CMSGMessage*);

  FsmStateOf() = default;
  FsmStateOf(Owner* stateOwner, const char* stateName, Handler enter, Handler update, MessageHandler message,
             Handler exit) {
    Set(stateOwner, stateName, enter, update, message, exit);
  }

  // Sets the owner, the name and the four handlers.
  void Set(Owner* stateOwner, const char* stateName, Handler enter, Handler update, MessageHandler message,
           Handler exit) {
    owner = stateOwner;
    name_ = stateName;
    onEnter = enter;
    onUpdate = update;
    onMessage = message;
    onExit = exit;
  }

  void Enter() override { Call(onEnter); }
  void Update() override { Call(onUpdate); }
  void Message(CMSGMessage* message) override {
    if (owner && onMessage) (owner->*onMessage)(message);
  }
  void Exit() override { Call(onExit); }

  Owner* owner = nullptr;
  Handler onEnter = nullptr;
  Handler onUpdate = nullptr;
  MessageHandler onMessage = nullptr;
  Handler onExit = nullptr;

 private:
  void Call(Handler handler) {
    if (owner && handler) (owner->*handler)();
  }
};
