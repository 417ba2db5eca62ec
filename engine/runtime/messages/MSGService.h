#pragma once

// A message service: a fixed pool of message records, the queue of messages
// waiting to fall due, a table of message names and the receivers registered
// in it. Four services exist: GEM (1, engine and game messages), GEO (2, every
// state-machine object), GUI (4, every GUI object) and UIO (8, input names).

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/foundation/String.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MessageIds.h"

class CMSGService : public CMSGListener {
 public:
  static constexpr uint32_t kPoolSize = 1000;
  static constexpr uint32_t kNameTableSize = 256;
  // Receiver numbers are 15 bits: a higher one would read as a broadcast.
  static constexpr uint32_t kLastReceiverNumber = 0x7FFF;
  // Message scripts are a few lines; larger files are refused.
  static constexpr uint32_t kMaxScriptBytes = 64 * 1024;

  // Builds the pool and registers the service with the message system; a
  // second service of the same number stays outside the system.
  CMSGService(const char* serviceName, uint16_t serviceNumber);
  ~CMSGService() override;

  // A service is never a receiver itself.
  void OnMessage(CMSGMessage*) override {}

  // Queues a message due after delaySeconds; a delay of exactly 0.0 delivers
  // it before Post returns. Id 0 is ignored; a full pool refuses the post.
  void Post(uint32_t id, int32_t source, int32_t target, intptr_t parameter, double delaySeconds);
  // From here on, for the rest of the process, every post is dropped and no
  // queued message is delivered (a program whose display is gone: its last
  // steps must reach nothing that draws or plays).
  static void DropAllMessages();
  // Delivers the queued message at the index and removes it from the queue.
  void Dispatch(uint32_t index);
  // One delivery pass: every queued message whose due time has come.
  void Deliver();
  // Sorts the queue by due time, keeping the order of equal due times.
  void SortByDueTime();

  // Removes every queued message with this target and id.
  void CancelMessages(int32_t target, uint32_t id);
  // Removes every queued message with this target.
  void CancelMessagesTo(int32_t target);
  // Number of queued messages with this target and id.
  uint32_t CountMessages(int32_t target, uint32_t id) const;

  // Names the id's number when it has no name yet; returns the number, or 0
  // when it is named already or out of the table.
  uint32_t RegisterMessageName(uint32_t id, const char* messageName);
  // The registered name of an id of this service, else the default name.
  const String& GetMessageName(uint32_t id) const;
  const String& GetMessageName(const CMSGMessage& message) const { return GetMessageName(message.id); }
  // The first number whose name equals the text, or -1.
  int32_t FindMessageNumber(const char* messageName) const;

  // Registers a receiver and gives it its id. Numbers are handed out in
  // turn; past the last one, numbers of receivers that are gone (and that no
  // queued message names) are reused. When every number is in use the
  // receiver is refused: it gets CMSGListener::kRefusedId.
  int32_t AddListener(CMSGListener* listener);
  // Unregisters every receiver with this id (safe during delivery).
  void RemoveListener(int32_t id);
  // Unregisters this receiver object wherever it is listed (safe during delivery).
  void ForgetListener(const CMSGListener* listener);
  // The registered receiver with this id, or null.
  CMSGListener* FindListener(int32_t id) const;
  // The id of the first receiver whose name matches ignoring case, or -1.
  int32_t FindListenerIdByName(const char* listenerName) const;
  // Registered receivers (an entry may stand empty while a delivery runs).
  uint32_t GetListenerCount() const { return static_cast<uint32_t>(listeners_.size()); }

  // Number of queued messages.
  uint32_t GetCount() const { return count_; }
  // The queued message at the index, or null.
  CMSGMessage* GetMessage(uint32_t index) const;
  // Removes the queued message at the index; the last one takes its place.
  void RemoveAt(uint32_t index);
  // Posts a copy of a stored record into this service; its due-time field is the delay.
  void Repost(const CMSGMessage& record);

  // Sees every accepted post once its record is filled, before a message of
  // delay 0 is delivered; tests record the traffic with it. Empty: none.
  using PostObserver = std::function<void(const CMSGMessage& message, double delaySeconds)>;
  void SetPostObserver(PostObserver observer) { postObserver_ = std::move(observer); }

  // Posts the messages of a script file: lines of message name, receiver name
  // and an optional number of seconds added to a running delay.
  bool LoadScript(const char* fileName);

  uint16_t number = 0;
  // Delivery passes skip a disabled service.
  uint8_t enabled = 1;
  // Used where a message or receiver has no name.
  String defaultName{"Anonymous"};

  // Statistics: deliveries of the last pass, dispatches by passes, all deliveries.
  uint32_t deliveredLastPass = 0;
  uint32_t dispatchedTotal = 0;
  uint32_t deliveredTotal = 0;

 private:
  bool TakeReceiverNumber(uint32_t& receiverNumber);
  void DeliverRecord(CMSGMessage& message);
  void RemoveSlot(uint32_t index);
  void SwapSlots(uint32_t a, uint32_t b);
  void FillNames(CMSGMessage& message) const;
  void CompactListeners();
  template <class Match>
  void RemoveListenersWhere(Match match);

  std::array<CMSGMessage, kPoolSize> pool_;
  // Entries below count are the queued messages; the rest are free records.
  std::array<CMSGMessage*, kPoolSize> slots_;
  uint32_t count_ = 0;
  std::array<std::unique_ptr<String>, kNameTableSize> names_;
  uint32_t nextListenerNumber_ = 0;
  // Set once every number has been handed out: from then on free ones are searched for.
  bool reusingNumbers_ = false;
  std::vector<CMSGListener*> listeners_;
  // Broadcasts in progress; while any runs, removed receivers leave a null entry.
  int listenerWalks_ = 0;
  bool listenersHaveGaps_ = false;
  PostObserver postObserver_;
};

// The four services, each built on first use.
CMSGService* GetGEMMSGService();
CMSGService* GetGEOMSGService();
CMSGService* GetGUIMSGService();
CMSGService* GetUIOMSGService();

// The message names of the GEM, GEO and GUI services.
void RegisterGEMMessageNames();
void RegisterGEOMessageNames();
void RegisterGUIMessageNames();
