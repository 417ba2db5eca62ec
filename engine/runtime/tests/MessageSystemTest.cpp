#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "platform/TempFolder.h"
#include "support/RuntimeTestSupport.h"

namespace {

using namespace runtime_test;

constexpr uint16_t kTestServiceNumber = 0x10;  // slot 4, unused by the engine
constexpr uint32_t kPing = MakeMessageId(kTestServiceNumber, 1);
constexpr uint32_t kPong = MakeMessageId(kTestServiceNumber, 2);

struct Recorder : CMSGListener {
  explicit Recorder(const char* listenerName = "Recorder") { name = listenerName; }
  void OnMessage(CMSGMessage* message) override {
    received.push_back(message->id);
    parameters.push_back(message->parameter);
    if (onMessage) onMessage(message);
  }
  std::vector<uint32_t> received;
  std::vector<intptr_t> parameters;
  std::function<void(CMSGMessage*)> onMessage;
};

class MessageServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGameTime(0.0);
    ClearLogLines(kLogMSG);
    service_ = std::make_unique<CMSGService>("Test MSG Service", kTestServiceNumber);
    ASSERT_EQ(CMSGSystem::Get()->GetService(4), service_.get());
  }

  std::unique_ptr<Recorder> MakeReceiver(const char* name = "Recorder") {
    auto receiver = std::make_unique<Recorder>(name);
    service_->AddListener(receiver.get());
    return receiver;
  }

  std::unique_ptr<CMSGService> service_;
};

TEST_F(MessageServiceTest, ZeroDelayIsDeliveredInsideThePostAndOtherDelaysWait) {
  auto receiver = MakeReceiver();
  int local = 7;
  receiver->onMessage = [&](CMSGMessage* message) {
    // A pointer to the poster's local is still valid while it is handled.
    if (message->id == kPing) {
      EXPECT_EQ(*reinterpret_cast<int*>(message->parameter), 7);
    }
  };
  service_->Post(kPing, -1, receiver->receiverId, reinterpret_cast<intptr_t>(&local), 0.0);
  EXPECT_EQ(receiver->received.size(), 1u);
  EXPECT_EQ(service_->GetCount(), 0u);

  service_->Post(kPong, -1, receiver->receiverId, 0, 0.5);
  service_->Post(kPong, -1, receiver->receiverId, 0, -0.0001);
  service_->Post(0, -1, receiver->receiverId, 0, 0.0);  // id 0 is ignored
  EXPECT_EQ(receiver->received.size(), 1u);
  EXPECT_EQ(service_->GetCount(), 2u);

  // A negative delay is already due at the next pass; 0.5 waits for its time.
  service_->Deliver();
  EXPECT_EQ(receiver->received.size(), 2u);
  SetGameTime(0.49);
  service_->Deliver();
  EXPECT_EQ(receiver->received.size(), 2u);
  SetGameTime(0.5);
  service_->Deliver();
  EXPECT_EQ(receiver->received.size(), 3u);
  EXPECT_EQ(service_->GetCount(), 0u);
}

TEST_F(MessageServiceTest, PausedClockHoldsMessagesNotYetDue) {
  auto receiver = MakeReceiver();
  SetGameTime(10.0);
  service_->Post(kPing, -1, receiver->receiverId, 0, 0.05);  // not yet due
  service_->Post(kPong, -1, receiver->receiverId, 0, -1.0);  // already due
  SetClockPaused(true);
  for (int frame = 0; frame < 10; ++frame) {
    TickClock(20);
    service_->Deliver();
  }
  EXPECT_EQ(receiver->received, std::vector<uint32_t>{kPong});
  SetClockPaused(false);
  for (int frame = 0; frame < 30 && receiver->received.size() < 2; ++frame) {
    TickClock(20);
    service_->Deliver();
  }
  EXPECT_EQ(receiver->received, (std::vector<uint32_t>{kPong, kPing}));
}

TEST_F(MessageServiceTest, DeliveryRunsInDueOrderAndASwappedRecordWaitsAFrame) {
  auto receiver = MakeReceiver();
  service_->Post(kPong, -1, receiver->receiverId, 3, 0.3);
  service_->Post(kPing, -1, receiver->receiverId, 1, 0.1);
  service_->Post(kPing, -1, receiver->receiverId, 2, 0.1);
  SetGameTime(1.0);
  // Sorted: 1, 2 (equal due times keep their order), 3. Delivering 1 moves
  // the last record (3) into its place, which this pass does not look at
  // again; 2 is delivered next and 3 waits for the next pass.
  service_->Deliver();
  EXPECT_EQ(receiver->parameters, (std::vector<intptr_t>{1, 2}));
  EXPECT_EQ(service_->deliveredLastPass, 2u);
  CMSGSystem::Get()->DeliverAll();  // every service, ours included
  EXPECT_EQ(receiver->parameters, (std::vector<intptr_t>{1, 2, 3}));
  EXPECT_EQ(service_->deliveredTotal, 3u);

  // A disabled service delivers nothing.
  service_->Post(kPing, -1, receiver->receiverId, 4, 0.1);
  SetGameTime(2.0);
  service_->enabled = 0;
  service_->Deliver();
  EXPECT_EQ(receiver->parameters.size(), 3u);
}

TEST_F(MessageServiceTest, BroadcastReachesActiveReceivingListenersOfItsServiceOnly) {
  auto plain = MakeReceiver("Plain");
  auto deaf = MakeReceiver("Deaf");
  deaf->receiving = 0;
  auto inactive = MakeReceiver("Inactive");
  inactive->active = 0;
  Recorder outsider("Outsider");
  GetGUIMSGService()->AddListener(&outsider);

  service_->Post(kPing, -1, -1, 0, 0.0);
  service_->Post(kPing, -1, MakeMessageId(kTestServiceNumber, 0xFFFF), 0, 0.0);
  EXPECT_EQ(plain->received.size(), 2u);
  EXPECT_TRUE(deaf->received.empty());
  EXPECT_TRUE(inactive->received.empty());
  EXPECT_TRUE(outsider.received.empty());

  // A targeted message tests only the active flag, and reaches its receiver
  // whatever service it was posted into.
  service_->Post(kPong, -1, deaf->receiverId, 0, 0.0);
  service_->Post(kPong, -1, inactive->receiverId, 0, 0.0);
  GetGEMMSGService()->Post(kPong, -1, deaf->receiverId, 0, 0.0);
  EXPECT_EQ(deaf->received.size(), 2u);
  EXPECT_TRUE(inactive->received.empty());

  // The system routes by the target's service; a broadcast target names no service.
  CMSGSystem::Get()->Post(kPing, -1, outsider.receiverId, 0, 0.0);
  CMSGSystem::Get()->Post(kPing, -1, -1, 0, 0.0);
  EXPECT_EQ(outsider.received.size(), 1u);
  EXPECT_EQ(plain->received.size(), 2u);
  // PostToServices posts into each service named by the mask.
  CMSGSystem::Get()->PostToServices(1u << (16 + 4), kPing, -1, -1, 0.0, 9);
  EXPECT_EQ(plain->parameters.back(), 9);
}

TEST_F(MessageServiceTest, OwnServiceMessagesCarryTheirNames) {
  auto sender = MakeReceiver("Sender");
  auto receiver = MakeReceiver("Receiver");
  service_->RegisterMessageName(kPing, "eMSG_TestPing");
  service_->Post(kPing, sender->receiverId, receiver->receiverId, 0, 1.0);
  service_->Post(kPong, -1, receiver->receiverId, 0, 1.0);
  service_->Post(eMSG_Next, -1, receiver->receiverId, 0, 1.0);
  ASSERT_EQ(service_->GetCount(), 3u);
  const CMSGMessage* named = service_->GetMessage(0);
  EXPECT_EQ(named->ownService, 1);
  EXPECT_STREQ(named->messageName, "eMSG_TestPing");
  EXPECT_STREQ(named->sourceName, "Sender");
  EXPECT_STREQ(named->targetName, "Receiver");
  EXPECT_STREQ(service_->GetMessage(1)->messageName, "Anonymous");
  EXPECT_STREQ(service_->GetMessage(1)->sourceName, "Anonymous");
  EXPECT_EQ(service_->GetMessage(2)->ownService, 0);
  EXPECT_STREQ(service_->GetMessage(2)->messageName, "");
  // The copied names outlive their receiver.
  receiver.reset();
  EXPECT_STREQ(service_->GetMessage(0)->targetName, "Receiver");
}

TEST_F(MessageServiceTest, MessageNameTable) {
  EXPECT_EQ(service_->RegisterMessageName(MakeMessageId(kTestServiceNumber, 5), "eMSG_Five"), 5u);
  EXPECT_EQ(service_->RegisterMessageName(MakeMessageId(kTestServiceNumber, 5), "eMSG_Other"), 0u);
  EXPECT_EQ(service_->GetMessageName(MakeMessageId(kTestServiceNumber, 5)), "eMSG_Five");
  EXPECT_EQ(service_->FindMessageNumber("eMSG_Five"), 5);
  EXPECT_EQ(service_->FindMessageNumber("eMSG_Other"), -1);
  // Another service's id, or a number without a name, reads as the default name.
  EXPECT_EQ(service_->GetMessageName(MakeMessageId(kMSGServiceGEM, 5)), "Anonymous");
  EXPECT_EQ(service_->GetMessageName(MakeMessageId(kTestServiceNumber, 6)), "Anonymous");

  // Numbers beyond the table are refused and logged.
  EXPECT_EQ(service_->RegisterMessageName(MakeMessageId(kTestServiceNumber, 256), "eMSG_Big"), 0u);
  EXPECT_EQ(CMSGSystem::Get()->RegisterMessageName(300, "eMSG_Big"), 0u);
  EXPECT_TRUE(LogContains(kLogMSG, "message number 256 is out of the name table"));
  EXPECT_TRUE(LogContains(kLogMSG, "Message number 300 is out of the name table"));
  EXPECT_EQ(service_->GetMessageName(MakeMessageId(kTestServiceNumber, 256)), "Anonymous");

  // Generic names, and names found through the system by id.
  EXPECT_EQ(CMSGSystem::Get()->FindMessageNumber("eMSG_Shutdown"), 8);
  EXPECT_EQ(*CMSGSystem::Get()->GetMessageName(eMSG_Escape), "eMSG_Escape");
  EXPECT_EQ(CMSGSystem::Get()->GetMessageName(256), nullptr);
  EXPECT_EQ(*CMSGSystem::Get()->GetMessageName(MakeMessageId(kTestServiceNumber, 5)), "eMSG_Five");
  EXPECT_EQ(CMSGSystem::Get()->GetMessageName(MakeMessageId(0x20, 5)), nullptr);
  RegisterGUIMessageNames();
  EXPECT_EQ(GetGUIMSGService()->GetMessageName(eMSG_GUIGAINFOCUS), "eMSG_GUIGAINFOCUS");
  EXPECT_EQ(GetGUIMSGService()->GetMessageName(eMSG_GUIHOVER), "Anonymous");
}

TEST_F(MessageServiceTest, AFullPoolRefusesThePostAndLogsIt) {
  auto receiver = MakeReceiver();
  for (uint32_t i = 0; i < CMSGService::kPoolSize; ++i) {
    service_->Post(kPing, -1, receiver->receiverId, static_cast<intptr_t>(i), 1.0);
  }
  EXPECT_EQ(service_->GetCount(), CMSGService::kPoolSize);
  service_->Post(kPong, -1, receiver->receiverId, 0, 1.0);
  service_->Post(kPong, -1, receiver->receiverId, 0, 0.0);
  EXPECT_EQ(service_->GetCount(), CMSGService::kPoolSize);
  EXPECT_TRUE(receiver->received.empty());
  EXPECT_TRUE(LogContains(kLogMSG, "Test MSG Service : all 1000 message records are queued"));

  SetGameTime(1.0);
  while (service_->GetCount() > 0) service_->Deliver();
  EXPECT_EQ(receiver->received.size(), CMSGService::kPoolSize);
  // Every record came back: the pool takes a full load again.
  for (uint32_t i = 0; i < CMSGService::kPoolSize; ++i) service_->Post(kPing, -1, -1, 0, 5.0);
  EXPECT_EQ(service_->GetCount(), CMSGService::kPoolSize);
}

TEST_F(MessageServiceTest, CancelAndCount) {
  auto a = MakeReceiver("A");
  auto b = MakeReceiver("B");
  for (int i = 0; i < 3; ++i) service_->Post(kPing, -1, a->receiverId, i, 1.0);
  service_->Post(kPong, -1, a->receiverId, 0, 1.0);
  service_->Post(kPing, -1, b->receiverId, 0, 1.0);
  EXPECT_EQ(service_->CountMessages(a->receiverId, kPing), 3u);
  // Adjacent matches: each record swapped into a removed one's place is checked too.
  service_->CancelMessages(a->receiverId, kPing);
  EXPECT_EQ(service_->CountMessages(a->receiverId, kPing), 0u);
  EXPECT_EQ(service_->GetCount(), 2u);
  service_->CancelMessagesTo(a->receiverId);
  EXPECT_EQ(service_->GetCount(), 1u);
  EXPECT_EQ(service_->GetMessage(0)->target, b->receiverId);
  EXPECT_EQ(service_->GetMessage(1), nullptr);
}

TEST_F(MessageServiceTest, ReceiverCancellingDuringDeliveryRemovesTheRightRecords) {
  auto canceller = MakeReceiver("Canceller");
  auto other = MakeReceiver("Other");
  // The canceller cancels every Ping for itself, the one being delivered included.
  canceller->onMessage = [&](CMSGMessage*) {
    service_->CancelMessages(canceller->receiverId, kPing);
    EXPECT_EQ(service_->CountMessages(canceller->receiverId, kPing), 0u);
  };
  service_->Post(kPing, -1, canceller->receiverId, 1, 0.1);
  service_->Post(kPong, -1, other->receiverId, 2, 0.2);
  service_->Post(kPing, -1, canceller->receiverId, 3, 0.3);
  service_->Post(kPong, -1, other->receiverId, 4, 0.4);
  SetGameTime(0.15);
  service_->Deliver();
  EXPECT_EQ(canceller->parameters, std::vector<intptr_t>{1});
  // Exactly the two Pongs are left, both intact.
  ASSERT_EQ(service_->GetCount(), 2u);
  EXPECT_EQ(service_->CountMessages(other->receiverId, kPong), 2u);

  SetGameTime(1.0);
  service_->Deliver();
  service_->Deliver();
  EXPECT_EQ(other->parameters, (std::vector<intptr_t>{2, 4}));
  EXPECT_EQ(service_->GetCount(), 0u);

  // Cancelling inside a zero-delay delivery leaves the count right too.
  service_->Post(kPing, -1, canceller->receiverId, 5, 0.0);
  EXPECT_EQ(service_->GetCount(), 0u);
}

TEST_F(MessageServiceTest, ReceiversPostingDuringDeliveryAreServed) {
  auto echo = MakeReceiver("Echo");
  auto sink = MakeReceiver("Sink");
  echo->onMessage = [&](CMSGMessage* message) {
    if (message->parameter == 1) service_->Post(kPong, -1, sink->receiverId, 10, 0.0);   // at once
    if (message->parameter == 1) service_->Post(kPong, -1, sink->receiverId, 11, -1.0);  // this pass
    if (message->parameter == 1) service_->Post(kPong, -1, sink->receiverId, 12, 5.0);   // later
  };
  service_->Post(kPing, -1, echo->receiverId, 1, 0.1);
  SetGameTime(0.2);
  service_->Deliver();
  EXPECT_EQ(sink->parameters, (std::vector<intptr_t>{10, 11}));
  EXPECT_EQ(service_->GetCount(), 1u);
}

TEST_F(MessageServiceTest, ReceiversDestroyedDuringABroadcast) {
  auto first = MakeReceiver("First");
  auto selfDestroying = MakeReceiver("Self");
  auto victim = MakeReceiver("Victim");
  auto last = MakeReceiver("Last");
  selfDestroying->onMessage = [&](CMSGMessage*) {
    victim.reset();
    selfDestroying.reset();  // the handler's own object ends here
  };
  service_->Post(kPing, -1, -1, 0, 0.0);
  EXPECT_EQ(first->received.size(), 1u);
  EXPECT_EQ(selfDestroying, nullptr);
  EXPECT_EQ(last->received.size(), 1u);
  EXPECT_EQ(service_->GetListenerCount(), 2u);
  // Messages still queued for a destroyed receiver are dropped quietly.
  int32_t goneId = first->receiverId;
  service_->Post(kPing, -1, goneId, 0, 0.5);
  first.reset();
  SetGameTime(1.0);
  service_->Deliver();
  EXPECT_EQ(service_->GetCount(), 0u);
}

TEST_F(MessageServiceTest, ReceiverNumbersAreReusedOnlyOnceAllHaveBeenGiven) {
  auto first = MakeReceiver("First");
  int32_t firstId = first->receiverId;
  EXPECT_EQ(firstId, MakeMessageId(kTestServiceNumber, 0));
  first.reset();
  auto second = MakeReceiver("Second");
  EXPECT_EQ(second->receiverId, MakeMessageId(kTestServiceNumber, 1));
  EXPECT_EQ(service_->FindListener(firstId), nullptr);
  EXPECT_EQ(service_->FindListenerIdByName("SECOND"), second->receiverId);
  EXPECT_EQ(service_->FindListenerIdByName(""), -1);

  // Every other number goes to a live receiver; the one with number 5 leaves
  // with a message still queued for it.
  std::vector<std::unique_ptr<Recorder>> fillers;
  for (uint32_t number = 2; number <= CMSGService::kLastReceiverNumber; ++number) {
    fillers.push_back(MakeReceiver("Filler"));
    ASSERT_EQ(fillers.back()->receiverId, MakeMessageId(kTestServiceNumber, number));
  }
  EXPECT_TRUE(LogContains(kLogMSG, "Test MSG Service : every receiver number has been given"));
  const int32_t goneId = MakeMessageId(kTestServiceNumber, 5);
  service_->Post(kPing, -1, goneId, 0, 1.0);
  fillers[3].reset();

  // Number 0 is free; number 5 is not while its message waits.
  auto reused = MakeReceiver("Reused");
  EXPECT_EQ(reused->receiverId, firstId);
  auto refused = MakeReceiver("Refused");
  EXPECT_EQ(refused->receiverId, CMSGListener::kRefusedId);
  EXPECT_TRUE(LogContains(kLogMSG, "all 32768 receiver numbers are in use; 'Refused' is not registered"));

  // Nothing posted from or to the refused receiver reaches anybody: its id
  // is not the broadcast target.
  refused->onMessage = [&](CMSGMessage*) { ADD_FAILURE() << "delivered to a refused receiver"; };
  service_->Post(kPing, refused->receiverId, -1, 0, 0.0);
  service_->Post(kPing, -1, refused->receiverId, 0, 0.0);
  CMSGSystem::Get()->Post(kPing, -1, refused->receiverId, 0, 0.0);
  EXPECT_TRUE(second->received.empty());
  EXPECT_TRUE(reused->received.empty());
  EXPECT_EQ(service_->GetCount(), 1u);

  // Once the waiting message is gone (dropped: its receiver left), so is the hold on 5.
  SetGameTime(1.0);
  service_->Deliver();
  auto late = MakeReceiver("Late");
  EXPECT_EQ(late->receiverId, goneId);
  // The receivers then leave an absent service instead of one by one.
  service_.reset();
}

TEST_F(MessageServiceTest, RepostUsesTheStoredDelay) {
  auto receiver = MakeReceiver();
  CMSGMessage templateRecord;
  templateRecord.id = kPing;
  templateRecord.target = receiver->receiverId;
  templateRecord.parameter = 42;
  templateRecord.dueTime = 0.0;
  service_->Repost(templateRecord);
  CMSGSystem::Get()->Repost(templateRecord);
  EXPECT_EQ(receiver->parameters, (std::vector<intptr_t>{42, 42}));
  templateRecord.dueTime = 2.0;
  service_->Repost(templateRecord);
  EXPECT_EQ(service_->GetCount(), 1u);
  EXPECT_DOUBLE_EQ(service_->GetMessage(0)->dueTime, 2.0);
}

TEST_F(MessageServiceTest, ScriptsPostNamedMessagesWithARunningDelay) {
  auto door = MakeReceiver("Door");
  service_->RegisterMessageName(kPing, "eMSG_Open");
  service_->RegisterMessageName(kPong, "eMSG_Close");
  platform::ScopedTempFolder scratch("vyre-script");
  std::ofstream(scratch / "script.txt") << "  eMSG_Open door 0.5\r\n"
                                           "// eMSG_Open Door\n"
                                           "eMSG_Open Door 1 / comment\n"
                                           "x\n"
                                           "eMSG_Missing Door 9\n"
                                           "eMSG_Close Nobody 9\n"
                                           "eMSG_Close DOOR 0.25\n"
                                           "eMSG_Open Door\n";
  EXPECT_TRUE(service_->LoadScript((scratch / "script.txt").c_str()));
  // Posted by number only, with delays 0.5, 0.75 and 0.75.
  ASSERT_EQ(service_->GetCount(), 3u);
  SetGameTime(0.5);
  service_->Deliver();
  EXPECT_EQ(door->received, std::vector<uint32_t>{1});
  SetGameTime(0.75);
  service_->Deliver();
  service_->Deliver();
  // The first delivery swapped the last record forward, so equal due times
  // now come in that order.
  EXPECT_EQ(door->received, (std::vector<uint32_t>{1, 1, 2}));
  EXPECT_FALSE(service_->LoadScript((scratch / "missing.txt").c_str()));
}

TEST(MessageSystemTest, ServicesRegisterOncePerSlot) {
  CMSGSystem* system = CMSGSystem::Get();
  CMSGService* gem = GetGEMMSGService();
  EXPECT_EQ(system->GetService(0), gem);
  EXPECT_EQ(GetGEOMSGService()->number, kMSGServiceGEO);
  EXPECT_EQ(system->GetService(3), GetUIOMSGService());
  // A second service of a taken number stays outside the system.
  auto duplicate = std::make_unique<CMSGService>("Second GEM", kMSGServiceGEM);
  EXPECT_EQ(system->GetService(0), gem);
  duplicate.reset();
  EXPECT_EQ(system->GetService(0), gem);
  auto noBit = std::make_unique<CMSGService>("No number", 0);
  EXPECT_FALSE(system->RegisterService(noBit.get()));
  ClearLogLines(kLogMSG);
  auto fifth = std::make_unique<CMSGService>("Slot Five", 0x20);
  EXPECT_EQ(system->GetService(5), fifth.get());
  EXPECT_EQ(LogLinesOf(kLogMSG), std::vector<std::string>{"Registered service [5] : [32] Slot Five"});
  fifth.reset();
  EXPECT_EQ(system->GetService(5), nullptr);
}

}  // namespace
