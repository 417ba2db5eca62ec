#include "engine/app/GEMApplication.h"

#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/runtime/fsm/FSMRegistry.h"
#include "engine/runtime/messages/MSGService.h"

CGEMApplication::CGEMApplication() {
  create_.Set(this, "[GEM] Create", &CGEMApplication::CreateEnter, &CGEMApplication::CreateUpdate,
              &CGEMApplication::IgnoreMessage, &CGEMApplication::CreateExit);
  idle_.Set(this, "[GEM] Idle", &CGEMApplication::IdleEnter, nullptr,
            &CGEMApplication::ShutdownHandler, &CGEMApplication::IdleExit);
  default_.Set(this, "[GEM] Default", &CGEMApplication::DefaultEnter,
               &CGEMApplication::DefaultUpdate, &CGEMApplication::ShutdownHandler,
               &CGEMApplication::DefaultExit);
  name = "Vyre";
  gemEndpoint_.name = "Vyre";
  GetGEMMSGService()->AddListener(&gemEndpoint_);
  nextState_ = &default_;
  SetActive(1);
  Next(&create_);
}

CGEMApplication::~CGEMApplication() = default;

uint8_t CGEMApplication::Frame(bool quitRequested) {
  Clock::Instance().Update();
  ++frameCount_;
  if (quitRequested) {
    GetGEMMSGService()->Post(eMSG_Shutdown, gemEndpoint_.receiverId, gemEndpoint_.receiverId, 0, 0.0);
  }
  CFSMRegistry::Get()->UpdateAll();
  return exitFlag_;
}

void CGEMApplication::Quit() { exitFlag_ = 1; }

void CGEMApplication::CreateEnter() {
  LogGEM("/=");
  LogGEM("Entering Create state...");
  createStep_ = 0;
}

void CGEMApplication::CreateUpdate() {
  switch (createStep_) {
    case 2: OnCreateEarly(); break;
    case 3: OnCreateLate(); break;
    default: break;
  }
  // From step 4 on, every step asks for the next state again until it comes.
  if (createStep_ >= 4 && nextState_ != nullptr) Next(nextState_);
  ++createStep_;
}

void CGEMApplication::CreateExit() {
  Clock::Instance().Start();
  LogGEM("Leaving Create state...");
}

void CGEMApplication::IdleEnter() {
  LogGEM("/=");
  LogGEM("Entering Idle state...");
}

void CGEMApplication::IdleExit() { LogGEM("Leaving Idle state..."); }

void CGEMApplication::DefaultEnter() {
  LogGEM("/=");
  LogGEM("Entering Default state...");
}

void CGEMApplication::DefaultUpdate() { OnDefaultUpdate(); }

void CGEMApplication::DefaultExit() { LogGEM("Leaving Default state..."); }

void CGEMApplication::ShutdownHandler(CMSGMessage* message) {
  if (message->id != eMSG_Shutdown) return;
  Quit();
  message->handled |= 1;
}
