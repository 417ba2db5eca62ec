#include "engine/runtime/messages/MSGSystem.h"

#include <cstdarg>
#include <cstring>

#include "engine/foundation/Log.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MessageIds.h"

namespace {

constexpr int kMessageLogChannel = kLogMSG;

// Cleared when the system is destroyed, so that receivers destroyed later
// during static destruction find no system instead of a dead one.
CMSGSystem* gLiveSystem = nullptr;

int LowestBit(uint32_t value) {
  for (int bit = 0; bit < 32; ++bit) {
    if (value & (1u << bit)) return bit;
  }
  return -1;
}

int HighestBit(uint32_t value) {
  for (int bit = 31; bit >= 0; --bit) {
    if (value & (1u << bit)) return bit;
  }
  return -1;
}

// Slot of a receiver id: the highest set bit of its high half (0 for none).
int SlotOfReceiver(int32_t receiverId) {
  int bit = HighestBit(static_cast<uint32_t>(receiverId) >> 16);
  return bit < 0 ? 0 : bit;
}

}  // namespace

void MSGPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogVPrintf(kMessageLogChannel, format, args);
  va_end(args);
}

CMSGSystem* CMSGSystem::Get() {
  static CMSGSystem system;
  return &system;
}

CMSGSystem* CMSGSystem::Existing() { return gLiveSystem; }

CMSGSystem::CMSGSystem() {
  gLiveSystem = this;
  static const char* const kGenericNames[] = {"eMSG_Null",   "eMSG_Start",      "eMSG_Stop",
                                              "eMSG_Next",   "eMSG_Previous",   "eMSG_Select",
                                              "eMSG_Escape", "eMSG_Initialise", "eMSG_Shutdown"};
  for (uint32_t number = 0; number < 9; ++number) RegisterMessageName(number, kGenericNames[number]);
}

CMSGSystem::~CMSGSystem() {
  if (gLiveSystem == this) gLiveSystem = nullptr;
}

bool CMSGSystem::RegisterService(CMSGService* service) {
  if (!service) return false;
  int slot = LowestBit(service->number);
  if (slot < 0 || slot >= kServiceSlots || services_[slot]) return false;
  services_[slot] = service;
  MSGPrintf("Registered service [%d] : [%d] %s", slot, service->number, service->name.Chars());
  return true;
}

void CMSGSystem::UnregisterService(CMSGService* service) {
  if (!service) return;
  int slot = LowestBit(service->number);
  if (slot >= 0 && slot < kServiceSlots && services_[slot] == service) services_[slot] = nullptr;
}

CMSGService* CMSGSystem::GetService(int slot) const {
  return (slot >= 0 && slot < kServiceSlots) ? services_[slot] : nullptr;
}

CMSGService* CMSGSystem::ServiceOfReceiver(int32_t receiverId) const { return services_[SlotOfReceiver(receiverId)]; }

CMSGListener* CMSGSystem::FindListener(int32_t receiverId) const {
  if (receiverId < 0) return nullptr;
  CMSGService* service = ServiceOfReceiver(receiverId);
  return service ? service->FindListener(receiverId) : nullptr;
}

void CMSGSystem::Post(uint32_t id, int32_t source, int32_t target, intptr_t parameter, double delaySeconds) {
  if (CMSGService* service = ServiceOfReceiver(target)) {
    service->Post(id, source, target, parameter, delaySeconds);
  }
}

void CMSGSystem::PostToServices(uint32_t mask, uint32_t id, int32_t source, int32_t target, double delaySeconds,
                                intptr_t parameter) {
  for (int slot = 0; slot < kServiceSlots; ++slot) {
    if ((mask & (1u << (16 + slot))) && services_[slot]) {
      services_[slot]->Post(id, source, target, parameter, delaySeconds);
    }
  }
}

void CMSGSystem::Repost(const CMSGMessage& record) {
  Post(record.id, record.source, record.target, record.parameter, record.dueTime);
}

void CMSGSystem::RepostToServices(uint32_t mask, const CMSGMessage& record) {
  PostToServices(mask, record.id, record.source, record.target, record.dueTime, record.parameter);
}

uint32_t CMSGSystem::RegisterMessageName(uint32_t id, const char* messageName) {
  uint32_t number = id & 0xFFFF;
  if (number >= kNameTableSize) {
    MSGPrintf("Message number %u is out of the name table; '%s' not registered", number,
              messageName ? messageName : "");
    return 0;
  }
  if (names_[number]) return 0;
  names_[number] = std::make_unique<String>(messageName ? messageName : "");
  return number;
}

int32_t CMSGSystem::FindMessageNumber(const char* messageName) const {
  for (uint32_t number = 0; number < kNameTableSize; ++number) {
    if (names_[number] && *names_[number] == (messageName ? messageName : "")) {
      return static_cast<int32_t>(number);
    }
  }
  return -1;
}

const String* CMSGSystem::GetMessageName(uint32_t id) const {
  uint32_t service = id >> 16;
  if (service == 0) {
    uint32_t number = id & 0xFFFF;
    return number < kNameTableSize ? names_[number].get() : nullptr;
  }
  CMSGService* owner = services_[HighestBit(service)];
  return owner ? &owner->GetMessageName(id) : nullptr;
}

void CMSGSystem::DeliverAll() {
  for (int slot = 0; slot < kServiceSlots; ++slot) {
    if (services_[slot]) services_[slot]->Deliver();
  }
}
