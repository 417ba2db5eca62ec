#pragma once
// The engine's application object: three states ("[GEM] Create", "[GEM] Idle",
// "[GEM] Default"), the create steps that bring the engine's data in over
// several frames, and shutdown on request. The game derives from it and
// replaces the state that follows Create.

#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/fsm/FsmState.h"
#include "engine/runtime/messages/MSGMessage.h"

#include <cstdint>

class CGEMApplication : public Base {
 public:
  CGEMApplication();
  ~CGEMApplication() override;

  // One frame: posts the shutdown while quit is asked for, then steps every
  // state machine whose stepping flag is set. Returns the exit flag.
  uint8_t Frame(bool quitRequested);

  // Ends the application: sets the exit flag. Safe to call more than once.
  virtual void Quit();

  // The state Create asks for when its steps are done.
  void SetNextState(FsmState* state) { nextState_ = state; }
  FsmState* GetCreateState() { return &create_; }
  FsmState* GetIdleState() { return &idle_; }
  FsmState* GetDefaultState() { return &default_; }

  uint32_t GetFrameCount() const { return frameCount_; }
  uint8_t GetExitFlag() const { return exitFlag_; }
  // The receiver id input and shutdown messages on the GEM service are sent to.
  int32_t GetGEMReceiverId() const { return gemEndpoint_.receiverId; }

 protected:
  // Hooks for derived applications: called at create steps 3 and 2, and every
  // frame of the Default state.
  virtual void OnCreateLate() {}
  virtual void OnCreateEarly() {}
  virtual void OnDefaultUpdate() {}

 private:
  // The application's receiver on the GEM service; hands messages to the current state.
  class GEMEndpoint : public CMSGListener {
   public:
    explicit GEMEndpoint(CGEMApplication* owner) : owner_(owner) {}
    void OnMessage(CMSGMessage* message) override { owner_->HandleMessage(message); }

   private:
    CGEMApplication* owner_;
  };

  void CreateEnter();
  void CreateUpdate();
  void CreateExit();
  void IgnoreMessage(CMSGMessage*) {}
  void IdleEnter();
  void IdleExit();
  void DefaultEnter();
  void DefaultUpdate();
  void DefaultExit();
  void ShutdownHandler(CMSGMessage* message);

  FsmStateOf<CGEMApplication> create_;
  FsmStateOf<CGEMApplication> idle_;
  FsmStateOf<CGEMApplication> default_;
  FsmState* nextState_ = nullptr;
  GEMEndpoint gemEndpoint_{this};
  uint32_t createStep_ = 0;
  uint32_t frameCount_ = 0;
  uint8_t exitFlag_ = 0;
};
