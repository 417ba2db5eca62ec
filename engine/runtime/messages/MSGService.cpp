#include "engine/runtime/messages/MSGService.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/foundation/Clock.h"
#include "engine/foundation/File.h"
#include "engine/runtime/messages/MSGSystem.h"

namespace {

double GameTimeNow() { return Clock::Instance().GetGameTime(); }

// Set for good by DropAllMessages.
bool gDroppingAllMessages = false;

// Low 16 bits read as a signed number: negative means every listener.
bool IsBroadcast(int32_t target) { return static_cast<int16_t>(target & 0xFFFF) < 0; }

void CopyName(char (&destination)[CMSGMessage::kNameCapacity], const char* text) {
  std::strncpy(destination, text ? text : "", CMSGMessage::kNameCapacity - 1);
  destination[CMSGMessage::kNameCapacity - 1] = '\0';
}

bool SameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
    char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

}  // namespace

CMSGListener::~CMSGListener() {
  if (receiverId < 0 || receiverId == kRefusedId) return;
  if (CMSGSystem* system = CMSGSystem::Existing()) {
    if (CMSGService* service = system->ServiceOfReceiver(receiverId)) {
      service->ForgetListener(this);
    }
  }
}

CMSGService::CMSGService(const char* serviceName, uint16_t serviceNumber) : number(serviceNumber) {
  for (uint32_t i = 0; i < kPoolSize; ++i) {
    slots_[i] = &pool_[i];
    pool_[i].slotIndex_ = i;
  }
  name = serviceName;
  CMSGSystem::Get()->RegisterService(this);
}

CMSGService::~CMSGService() {
  if (CMSGSystem* system = CMSGSystem::Existing()) system->UnregisterService(this);
}

void CMSGService::SwapSlots(uint32_t a, uint32_t b) {
  std::swap(slots_[a], slots_[b]);
  slots_[a]->slotIndex_ = a;
  slots_[b]->slotIndex_ = b;
}

void CMSGService::RemoveSlot(uint32_t index) {
  --count_;
  SwapSlots(index, count_);
}

void CMSGService::FillNames(CMSGMessage& message) const {
  CopyName(message.messageName, GetMessageName(message.id).Chars());
  auto nameOf = [this](int32_t receiverId) -> const char* {
    if ((receiverId & 0xFFFF) == 0xFFFF) return defaultName.Chars();
    CMSGListener* listener = CMSGSystem::Get()->FindListener(receiverId);
    return listener ? listener->name.Chars() : defaultName.Chars();
  };
  CopyName(message.sourceName, nameOf(message.source));
  CopyName(message.targetName, nameOf(message.target));
}

void CMSGService::DropAllMessages() { gDroppingAllMessages = true; }

void CMSGService::Post(uint32_t id, int32_t source, int32_t target, intptr_t parameter, double delaySeconds) {
  if (id == 0 || gDroppingAllMessages) return;
  if (count_ >= kPoolSize) {
    MSGPrintf("%s : all %u message records are queued; message 0x%x to %d dropped", name.Chars(), kPoolSize, id,
              target);
    return;
  }
  // A refused receiver has no number: what it posts, or what is posted to
  // it, reaches nobody (its id must not turn into a broadcast).
  if (source == CMSGListener::kRefusedId || target == CMSGListener::kRefusedId) return;
  if (std::isnan(delaySeconds)) {
    MSGPrintf("%s : message 0x%x posted with an invalid delay; dropped", name.Chars(), id);
    return;
  }
  CMSGMessage& message = *slots_[count_];
  ++count_;
  message.handled = 0;
  message.id = id;
  message.source = source;
  message.target = target;
  message.timePosted = GameTimeNow();
  message.parameter = parameter;
  message.dueTime = message.timePosted + delaySeconds;
  message.ownService = (id >> 16) == number ? 1 : 0;
  if (message.ownService) {
    FillNames(message);
  } else {
    message.messageName[0] = message.sourceName[0] = message.targetName[0] = '\0';
  }
  if (postObserver_) postObserver_(message, delaySeconds);
  if (delaySeconds == 0.0) Dispatch(message.slotIndex_);
}

void CMSGService::DeliverRecord(CMSGMessage& message) {
  if (IsBroadcast(message.target)) {
    // Receivers may register or unregister others while we walk: removals
    // leave null entries until the last walk ends, additions are reached.
    ++listenerWalks_;
    for (size_t i = 0; i < listeners_.size(); ++i) {
      CMSGListener* listener = listeners_[i];
      if (!listener || !listener->active || !listener->receiving) continue;
      listener->OnMessage(&message);
      ++deliveredLastPass;
      ++deliveredTotal;
    }
    if (--listenerWalks_ == 0 && listenersHaveGaps_) CompactListeners();
    return;
  }
  CMSGListener* receiver = CMSGSystem::Get()->FindListener(message.target);
  if (receiver && receiver->active) {
    receiver->OnMessage(&message);
    ++deliveredLastPass;
    ++deliveredTotal;
  }
}

void CMSGService::Dispatch(uint32_t index) {
  if (index >= count_) return;
  CMSGMessage& message = *slots_[index];
  if (message.inDelivery_) return;
  // Receivers may post, cancel or deliver while we are inside them, which
  // moves records around the slot array: remove this record by where it is
  // now, not where it was.
  message.inDelivery_ = true;
  DeliverRecord(message);
  message.inDelivery_ = false;
  RemoveSlot(message.slotIndex_);
}

void CMSGService::SortByDueTime() {
  std::stable_sort(slots_.begin(), slots_.begin() + count_,
                   [](const CMSGMessage* a, const CMSGMessage* b) { return a->dueTime < b->dueTime; });
  for (uint32_t i = 0; i < count_; ++i) slots_[i]->slotIndex_ = i;
}

void CMSGService::Deliver() {
  if (!enabled || gDroppingAllMessages) return;
  SortByDueTime();
  deliveredLastPass = 0;
  const double now = GameTimeNow();
  // The count is re-read every step: receivers append messages as we go. A
  // message swapped into a delivered one's place waits for the next pass.
  for (uint32_t i = 0; i < count_; ++i) {
    CMSGMessage& message = *slots_[i];
    if (message.inDelivery_ || now < message.dueTime) continue;
    Dispatch(i);
    ++dispatchedTotal;
  }
}

void CMSGService::CancelMessages(int32_t target, uint32_t id) {
  uint32_t i = 0;
  while (i < count_) {
    CMSGMessage& message = *slots_[i];
    if (message.target == target && message.id == id && !message.inDelivery_) {
      RemoveSlot(i);  // the record swapped into i is examined next
    } else {
      ++i;
    }
  }
}

void CMSGService::CancelMessagesTo(int32_t target) {
  uint32_t i = 0;
  while (i < count_) {
    CMSGMessage& message = *slots_[i];
    if (message.target == target && !message.inDelivery_) {
      RemoveSlot(i);
    } else {
      ++i;
    }
  }
}

uint32_t CMSGService::CountMessages(int32_t target, uint32_t id) const {
  uint32_t matches = 0;
  for (uint32_t i = 0; i < count_; ++i) {
    const CMSGMessage& message = *slots_[i];
    if (message.target == target && message.id == id && !message.inDelivery_) ++matches;
  }
  return matches;
}

uint32_t CMSGService::RegisterMessageName(uint32_t id, const char* messageName) {
  uint32_t messageNumber = id & 0xFFFF;
  if (messageNumber >= kNameTableSize) {
    MSGPrintf("%s : message number %u is out of the name table; '%s' not registered", name.Chars(), messageNumber,
              messageName ? messageName : "");
    return 0;
  }
  if (names_[messageNumber]) return 0;
  names_[messageNumber] = std::make_unique<String>(messageName ? messageName : "");
  return messageNumber;
}

const String& CMSGService::GetMessageName(uint32_t id) const {
  uint32_t messageNumber = id & 0xFFFF;
  if ((id >> 16) == number && messageNumber < kNameTableSize && names_[messageNumber]) {
    return *names_[messageNumber];
  }
  return defaultName;
}

int32_t CMSGService::FindMessageNumber(const char* messageName) const {
  for (uint32_t i = 0; i < kNameTableSize; ++i) {
    if (names_[i] && *names_[i] == (messageName ? messageName : "")) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t CMSGService::AddListener(CMSGListener* listener) {
  if (!listener) return CMSGListener::kRefusedId;
  uint32_t receiverNumber = 0;
  if (!TakeReceiverNumber(receiverNumber)) {
    MSGPrintf("%s : all %u receiver numbers are in use; '%s' is not registered", name.Chars(), kLastReceiverNumber + 1,
              listener->name.Chars());
    listener->receiverId = CMSGListener::kRefusedId;
    return CMSGListener::kRefusedId;
  }
  int32_t id = static_cast<int32_t>((static_cast<uint32_t>(number) << 16) | receiverNumber);
  listeners_.push_back(listener);
  listener->receiverId = id;
  return id;
}

bool CMSGService::TakeReceiverNumber(uint32_t& receiverNumber) {
  if (!reusingNumbers_) {
    receiverNumber = nextListenerNumber_++;
    if (nextListenerNumber_ > kLastReceiverNumber) {
      reusingNumbers_ = true;
      nextListenerNumber_ = 0;
      MSGPrintf("%s : every receiver number has been given; numbers of receivers that are gone are reused",
                name.Chars());
    }
    return true;
  }
  // A number is still taken while its receiver lives or while a queued
  // message names it: reusing it then would deliver that message to a stranger.
  std::vector<bool> taken(kLastReceiverNumber + 1, false);
  auto markTaken = [&](int32_t id) {
    const uint32_t bits = static_cast<uint32_t>(id);
    if (id >= 0 && (bits >> 16) == number && (bits & 0xFFFF) <= kLastReceiverNumber) taken[bits & 0xFFFF] = true;
  };
  for (const CMSGListener* listener : listeners_) {
    if (listener) markTaken(listener->receiverId);
  }
  auto markQueued = [&](const CMSGService& service) {
    for (uint32_t i = 0; i < service.count_; ++i) {
      markTaken(service.slots_[i]->source);
      markTaken(service.slots_[i]->target);
    }
  };
  markQueued(*this);
  for (int slot = 0; slot < CMSGSystem::kServiceSlots; ++slot) {
    if (const CMSGService* service = CMSGSystem::Get()->GetService(slot)) markQueued(*service);
  }
  // Searching on from the last number given keeps a freed number unused for
  // as long as possible, for stale ids still held somewhere.
  for (uint32_t step = 0; step <= kLastReceiverNumber; ++step) {
    const uint32_t candidate = (nextListenerNumber_ + step) & kLastReceiverNumber;
    if (taken[candidate]) continue;
    receiverNumber = candidate;
    nextListenerNumber_ = (candidate + 1) & kLastReceiverNumber;
    return true;
  }
  return false;
}

template <class Match>
void CMSGService::RemoveListenersWhere(Match match) {
  for (CMSGListener*& listener : listeners_) {
    if (listener && match(listener)) {
      listener = nullptr;
      listenersHaveGaps_ = true;
    }
  }
  if (listenerWalks_ == 0 && listenersHaveGaps_) CompactListeners();
}

void CMSGService::RemoveListener(int32_t id) {
  RemoveListenersWhere([id](const CMSGListener* listener) { return listener->receiverId == id; });
}

void CMSGService::ForgetListener(const CMSGListener* object) {
  RemoveListenersWhere([object](const CMSGListener* listener) { return listener == object; });
}

void CMSGService::CompactListeners() {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), nullptr), listeners_.end());
  listenersHaveGaps_ = false;
}

CMSGListener* CMSGService::FindListener(int32_t id) const {
  if (id < 0) return nullptr;
  for (CMSGListener* listener : listeners_) {
    if (listener && listener->receiverId == id) return listener;
  }
  return nullptr;
}

int32_t CMSGService::FindListenerIdByName(const char* listenerName) const {
  if (!listenerName || !listenerName[0]) return -1;
  for (CMSGListener* listener : listeners_) {
    if (listener && SameIgnoringCase(listener->name.Chars(), listenerName)) return listener->receiverId;
  }
  return -1;
}

CMSGMessage* CMSGService::GetMessage(uint32_t index) const { return index < count_ ? slots_[index] : nullptr; }

void CMSGService::RemoveAt(uint32_t index) {
  if (index < count_ && !slots_[index]->inDelivery_) RemoveSlot(index);
}

void CMSGService::Repost(const CMSGMessage& record) {
  Post(record.id, record.source, record.target, record.parameter, record.dueTime);
}

CMSGService* GetGEMMSGService() {
  static CMSGService service("GEM MSG Service", kMSGServiceGEM);
  return &service;
}

CMSGService* GetGEOMSGService() {
  static CMSGService service("GEO MSG Service", kMSGServiceGEO);
  return &service;
}

CMSGService* GetGUIMSGService() {
  static CMSGService service("GUI MSG Service", kMSGServiceGUI);
  return &service;
}

CMSGService* GetUIOMSGService() {
  static CMSGService service("UIO MSG Service", kMSGServiceUIO);
  return &service;
}

void RegisterGEMMessageNames() { GetGEMMSGService()->RegisterMessageName(eMSG_GEMNull, "eMSG_GEMNull"); }

void RegisterGEOMessageNames() { GetGEOMSGService()->RegisterMessageName(eMSG_GEOCollision, "eMSG_GEOCollision"); }

void RegisterGUIMessageNames() {
  static const struct {
    uint32_t id;
    const char* name;
  } kNames[] = {
      {eMSG_GUINull, "eMSG_GUINull"},
      {eMSG_GUICREATE, "eMSG_GUICREATE"},
      {eMSG_GUICLOSE, "eMSG_GUICLOSE"},
      {eMSG_GUIACTIVATE, "eMSG_GUIACTIVATE"},
      {eMSG_GUIDEACTIVATE, "eMSG_GUIDEACTIVATE"},
      {eMSG_GUIMINIMISE, "eMSG_GUIMINIMISE"},
      {eMSG_GUIMAXIMISE, "eMSG_GUIMAXIMISE"},
      {eMSG_GUIRESIZE, "eMSG_GUIRESIZE"},
      {eMSG_GUIRESTORE, "eMSG_GUIRESTORE"},
      {eMSG_GUISHOW, "eMSG_GUISHOW"},
      {eMSG_GUIHIDE, "eMSG_GUIHIDE"},
      {eMSG_GUIREPOSITION, "eMSG_GUIREPOSITION"},
      {eMSG_GUIUPDATE, "eMSG_GUIUPDATE"},
      {eMSG_GUISIZETOCONTENT, "eMSG_GUISIZETOCONTENT"},
      {eMSG_GUIADJUSTSIZE, "eMSG_GUIADJUSTSIZE"},
      {eMSG_GUIENABLE, "eMSG_GUIENABLE"},
      {eMSG_GUIDISABLE, "eMSG_GUIDISABLE"},
      {eMSG_GUIBRANCHEXPANDED, "eMSG_GUIBRANCHEXPANDED"},
      {eMSG_GUIBRANCHCOLLAPSED, "eMSG_GUIBRANCHCOLLAPSED"},
      {eMSG_GUIBRANCHPICKED, "eMSG_GUIBRANCHPICKED"},
      {eMSG_GUIBRANCHRELEASED, "eMSG_GUIBRANCHRELEASED"},
      {eMSG_GUICHANGE, "eMSG_GUICHANGE"},
      {eMSG_GUILMBDOWN, "eMSG_GUILMBDOWN"},
      {eMSG_GUILMBUP, "eMSG_GUILMBUP"},
      {eMSG_GUIMMBDOWN, "eMSG_GUIMMBDOWN"},
      {eMSG_GUIMMBUP, "eMSG_GUIMMBUP"},
      {eMSG_GUIRMBDOWN, "eMSG_GUIRMBDOWN"},
      {eMSG_GUIRMBUP, "eMSG_GUIRMBUP"},
      {eMSG_GUIWHEELUP, "eMSG_GUIWHEELUP"},
      {eMSG_GUIWHEELDOWN, "eMSG_GUIWHEELDOWN"},
      {eMSG_GUIMOUSEMOVE, "eMSG_GUIMOUSEMOVE"},
      {eMSG_GUILMBDOUBLE, "eMSG_GUILMBDOUBLE"},
      {eMSG_GUIMMBDOUBLE, "eMSG_GUIMMBDOUBLE"},
      {eMSG_GUIRMBDOUBLE, "eMSG_GUIRMBDOUBLE"},
      {eMSG_GUITOGGLESHOW, "eMSG_GUITOGGLESHOW"},
      {eMSG_GUITOGGLEMENU, "eMSG_GUITOGGLEMENU"},
      {eMSG_GUIPAGE, "eMSG_GUIPAGE"},
      {eMSG_GUILOSEFOCUS, "eMSG_GUILOSEFOCUS"},
      {eMSG_GUIGAINFOCUS, "eMSG_GUIGAINFOCUS"},
  };
  CMSGService* service = GetGUIMSGService();
  for (const auto& entry : kNames) service->RegisterMessageName(entry.id, entry.name);
}

bool CMSGService::LoadScript(const char* fileName) {
  FileText file;
  if (!(file.OpenRead(fileName) & File::kOpen)) return false;
  if (file.GetSize() > static_cast<int64_t>(kMaxScriptBytes)) {
    MSGPrintf("%s : script '%s' is larger than %u bytes; not read", name.Chars(), fileName, kMaxScriptBytes);
    return true;
  }
  double delaySeconds = 0.0;
  String line;
  while (file.IsOpen() && !file.IsEOF()) {
    file.ReadLine(line);
    line.Trim();
    // Trim keeps a lone first character; one-character lines are skipped anyway.
    if (line.Length() <= 1 || line.Find("/") >= 0) continue;
    int32_t messageNumber = FindMessageNumber(line.GetWord(0).Chars());
    if (messageNumber < 0) continue;
    int32_t receiver = FindListenerIdByName(line.GetWord(1).Chars());
    if (receiver < 0) continue;
    String seconds = line.GetWord(2);
    if (!seconds.IsEmpty()) delaySeconds += std::atof(seconds.Chars());
    Post(static_cast<uint32_t>(messageNumber), -1, receiver, 0, delaySeconds);
  }
  return true;
}
