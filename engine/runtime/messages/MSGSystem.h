#pragma once

// The message system: up to 16 services, indexed by the bit of their number,
// the generic message names, and lookup of any receiver by its id.

#include <array>
#include <cstdint>
#include <memory>

#include "engine/foundation/String.h"
#include "engine/runtime/messages/MSGMessage.h"

class CMSGService;

class CMSGSystem {
 public:
  static constexpr int kServiceSlots = 16;
  static constexpr uint32_t kNameTableSize = 256;

  // The system, built on first use.
  static CMSGSystem* Get();
  // The system when it exists and has not been destroyed yet, else null
  // (for destructors that may run during static destruction).
  static CMSGSystem* Existing();

  CMSGSystem();
  CMSGSystem(const CMSGSystem&) = delete;
  CMSGSystem& operator=(const CMSGSystem&) = delete;
  virtual ~CMSGSystem();

  // Puts a service in the slot of its number's bit; false when the number has
  // no bit or the slot is taken.
  bool RegisterService(CMSGService* service);
  // Clears the service's slot (only when it holds this service).
  void UnregisterService(CMSGService* service);
  // The service in a slot, or null.
  CMSGService* GetService(int slot) const;
  // The service a receiver id belongs to (from its high 16 bits), or null.
  CMSGService* ServiceOfReceiver(int32_t receiverId) const;

  // The receiver registered under the id, or null.
  CMSGListener* FindListener(int32_t receiverId) const;

  // Posts into the service in which the target is registered; nothing when
  // that service does not exist (a broadcast target reads as slot 15).
  void Post(uint32_t id, int32_t source, int32_t target, intptr_t parameter, double delaySeconds);
  // Posts into every present service whose slot k has bit 16 + k set in the mask.
  void PostToServices(uint32_t mask, uint32_t id, int32_t source, int32_t target, double delaySeconds,
                      intptr_t parameter);
  // The same two, fed from a stored record whose due-time field holds the delay.
  void Repost(const CMSGMessage& record);
  void RepostToServices(uint32_t mask, const CMSGMessage& record);

  // Names a generic message number; returns the number, or 0 when it is named
  // already or out of the table.
  uint32_t RegisterMessageName(uint32_t id, const char* messageName);
  // The first generic number whose name equals the text, or -1.
  int32_t FindMessageNumber(const char* messageName) const;
  // The name of any id: the generic name for ids without service part,
  // otherwise the owning service's name; null when there is none.
  const String* GetMessageName(uint32_t id) const;

  // One delivery pass of every present service, in slot order.
  void DeliverAll();

 private:
  std::array<CMSGService*, kServiceSlots> services_{};
  std::array<std::unique_ptr<String>, kNameTableSize> names_;
};

// Writes a formatted line to the message log channel.
void MSGPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
