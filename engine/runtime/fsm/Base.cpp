#include "engine/runtime/fsm/Base.h"

#include "engine/runtime/fsm/FSMRegistry.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"

Base::Base() {
  name = "Base";
  CFSMRegistry::Get()->Add(this);
  objectId = GetGEOMSGService()->AddListener(this);
}

Base::~Base() {
  if (CFSMRegistry* registry = CFSMRegistry::Existing()) {
    registry->Remove(objectId);
    // An object that got no id (the GEO ids ran out) is still listed.
    registry->RemoveObject(this);
  }
  if (objectId < 0) return;
  CMSGSystem* system = CMSGSystem::Existing();
  if (CMSGService* service = system ? system->ServiceOfReceiver(objectId) : nullptr) {
    service->CancelMessagesTo(objectId);
    service->RemoveListener(objectId);
  }
}
