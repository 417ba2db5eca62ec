#pragma once

// The queued message record and the base of every message receiver.

#include <cstdint>

#include "engine/foundation/String.h"

// One message: who sent it to whom, when it falls due and its parameter.
class CMSGMessage {
 public:
  static constexpr int kNameCapacity = 48;

  virtual ~CMSGMessage() = default;

  // Receivers set bit 0 when they consumed the message; Post clears it.
  uint8_t handled = 0;
  // 1 when the id's service part equals the service the message was posted into.
  uint8_t ownService = 0;
  uint32_t id = 0;
  int32_t source = -1;
  int32_t target = -1;
  // Game time (seconds) when posted.
  double timePosted = 0.0;
  // Game time when due; a record kept as a template to post later holds the
  // delay here instead.
  double dueTime = 0.0;
  // Pointers travel in the parameter (only ever posted with delay 0).
  intptr_t parameter = 0;
  // Names for diagnostics, filled for own-service messages. They are copies,
  // so a receiver destroyed while its message waits leaves no dangling text.
  char messageName[kNameCapacity] = {};
  char sourceName[kNameCapacity] = {};
  char targetName[kNameCapacity] = {};

 private:
  friend class CMSGService;
  // Position in the owning service's slot array, kept up to date by every swap.
  uint32_t slotIndex_ = 0;
  // Set while the record is being handed to its receivers; such a record is
  // neither dispatched again nor removed by a cancel until delivery ends.
  bool inDelivery_ = false;
};

// Base of every receiver of messages.
class CMSGListener {
 public:
  CMSGListener() = default;
  CMSGListener(const CMSGListener&) = delete;
  CMSGListener& operator=(const CMSGListener&) = delete;
  // Leaves the service it is registered in, so nothing can reach it afterwards.
  virtual ~CMSGListener();

  // Receives one delivered message.
  virtual void OnMessage(CMSGMessage* message) = 0;

  // The id of a receiver its service had no number left for. It is not -1,
  // which would make everything posted to it a broadcast; it names no
  // service, and nothing posted from or to it is delivered.
  static constexpr int32_t kRefusedId = 0x7FFF7FFF;

  // Service number in the high 16 bits, running number in the low 16; -1 until registered.
  int32_t receiverId = -1;
  String name{"Unknown"};
  uint8_t active = 1;
  uint8_t receiving = 1;
};

// A receiver that hands each delivered message to a member of its owner: for
// objects that listen on a second service beside their own.
template <class Owner, void (Owner::*Handle)(CMSGMessage*)>
class CMSGForwarder : public CMSGListener {
 public:
  explicit CMSGForwarder(Owner* owner) : owner_(owner) {}
  void OnMessage(CMSGMessage* message) override { (owner_->*Handle)(message); }

 private:
  Owner* owner_;
};
