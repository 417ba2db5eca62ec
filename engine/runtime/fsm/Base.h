#pragma once

// The root class of every active object of the engine and the game: a state
// machine that receives messages (in the GEO service) and is stepped once a
// frame by the state-machine registry while its stepping flag is set.

#include <cstdint>

#include "engine/runtime/fsm/StateMachine.h"
#include "engine/runtime/messages/MSGMessage.h"

class Base : public StateMachine, public CMSGListener {
 public:
  // Registers the object with the state-machine registry and the GEO service.
  Base();
  // Unregisters it and drops the GEO messages still queued for it.
  ~Base() override;

  // Hands the message to the current state.
  void OnMessage(CMSGMessage* message) override { HandleMessage(message); }

  // Sets the stepping flag: the registry steps the object only while it is set.
  virtual void SetActive(uint8_t flag) { stepping = flag; }
  uint8_t IsActive() const { return stepping; }

  int32_t GetObjectId() const { return objectId; }
  void SetObjectId(int32_t id) { objectId = id; }
  bool IsObjectId(int32_t id) const { return objectId == id; }
  int32_t GetSpareId() const { return spareId; }
  void SetSpareId(int32_t id) { spareId = id; }
  bool IsSpareId(int32_t id) const { return spareId == id; }

  uint8_t stepping = 0;
  // The receiver id the GEO service gave the object.
  int32_t objectId = -1;
  int32_t spareId = -1;
};
