#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/foundation/Log.h"
#include "engine/foundation/tests/support/LogLines.h"
#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/fsm/FSMRegistry.h"
#include "engine/runtime/messages/MSGService.h"
#include "support/RuntimeTestSupport.h"

namespace {

using namespace runtime_test;
using Lines = std::vector<std::string>;

// An object with two states whose handlers record what ran.
class Traced : public Base {
 public:
  Traced() {
    name = "Traced";
    stateA.Set(this, "Test.A", &Traced::EnterA, &Traced::UpdateA, &Traced::MessageA, &Traced::ExitA);
    stateB.Set(this, "Test.B", &Traced::EnterB, &Traced::UpdateB, nullptr, nullptr);
  }
  void EnterA() { Record("enter A"); }
  void UpdateA() { Record("update A"); }
  void MessageA(CMSGMessage* message) { Record("message A " + std::to_string(message->id)); }
  void ExitA() { Record("exit A"); }
  void EnterB() { Record("enter B"); }
  void UpdateB() { Record("update B"); }

  void Record(const std::string& event) {
    calls.push_back(event);
    if (hook) hook(event);
  }

  FsmStateOf<Traced> stateA;
  FsmStateOf<Traced> stateB;
  Lines calls;
  std::function<void(const std::string&)> hook;
};

class StateMachineTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearLogLines(kLogFSM); }
};

TEST_F(StateMachineTest, AChangeExitsOnOneStepEntersOnTheNextAndUpdatesAfter) {
  Traced object;
  EXPECT_TRUE(object.IsCurrent(object.GetNullState()));
  EXPECT_TRUE(object.Next(&object.stateA));
  EXPECT_TRUE(object.IsPending(&object.stateA));
  object.Update();
  EXPECT_EQ(object.GetCurrentState(), nullptr);
  EXPECT_EQ(object.GetCurrentStateName(), "");
  object.Update();
  EXPECT_TRUE(object.IsCurrent(&object.stateA));
  EXPECT_EQ(object.GetPendingState(), nullptr);
  object.Update();
  EXPECT_EQ(object.calls, (Lines{"enter A", "update A"}));
  EXPECT_EQ(LogLinesOf(kLogFSM), (Lines{"Next|'Test.A'", "Exit|'NULL'", "Enter|'Test.A' "}));
}

TEST_F(StateMachineTest, LaterRequestsReplaceEarlierOnes) {
  Traced object;
  // Two requests before a step: only the later state is ever entered.
  object.Next(&object.stateB);
  object.Next(&object.stateA);
  object.Update();
  object.Update();
  EXPECT_TRUE(object.IsCurrent(&object.stateA));
  // A request between the exit step and the enter step replaces the waiting state.
  object.Next(&object.stateB);
  object.Update();  // exits A
  object.Next(&object.stateA);
  object.Update();
  EXPECT_TRUE(object.IsCurrent(&object.stateA));
  EXPECT_EQ(object.calls, (Lines{"enter A", "exit A", "enter A"}));
}

TEST_F(StateMachineTest, NullHandlersAreSkippedAndMessagesGoToTheCurrentState) {
  Traced object;
  CMSGMessage message;
  message.id = 77;
  object.OnMessage(&message);  // the built-in state ignores it
  object.Next(&object.stateB);
  object.Update();
  object.Update();
  object.Update();
  object.OnMessage(&message);  // B has no message handler
  object.Next(&object.stateA);
  object.Update();             // B has no exit handler
  object.OnMessage(&message);  // dropped: no state is current
  object.Update();
  object.OnMessage(&message);
  EXPECT_EQ(object.calls, (Lines{"enter B", "update B", "enter A", "message A 77"}));
  // A state without an owner does nothing at all.
  FsmStateOf<Traced> orphan;
  orphan.Enter();
  orphan.Message(&message);
}

TEST_F(StateMachineTest, PushAndPop) {
  Traced object;
  object.Next(&object.stateA);
  object.Update();
  object.Update();
  ClearLogLines(kLogFSM);
  object.Pop();  // nothing pushed
  EXPECT_TRUE(object.IsCurrent(&object.stateA));
  EXPECT_EQ(object.GetPendingState(), nullptr);
  object.Push(&object.stateB);
  EXPECT_TRUE(object.IsPushed(&object.stateA));
  object.Update();
  object.Update();
  object.Pop();
  EXPECT_TRUE(object.IsPending(&object.stateA));
  EXPECT_EQ(object.GetPushedState(), nullptr);
  EXPECT_EQ(LogLinesOf(kLogFSM), (Lines{"Pop|'Test.A'|NULL!", "Push|'Test.A'|'Test.B'", "Next|'Test.B'",
                                        "Exit|'Test.A'", "Enter|'Test.B' ", "Pop|'Test.B'|'Test.A'", "Next|'Test.A'"}));

  // With no current state (between exit and enter) both do nothing.
  object.Update();
  ClearLogLines(kLogFSM);
  object.Push(&object.stateB);
  object.Pop();
  EXPECT_TRUE(object.IsPending(&object.stateA));
  EXPECT_EQ(object.GetPushedState(), nullptr);
  EXPECT_TRUE(LogLinesOf(kLogFSM).empty());
}

TEST_F(StateMachineTest, RegistryStepsOnlySteppingObjectsWhichStillReceiveMessages) {
  Traced stepped;
  Traced idle;
  stepped.SetActive(1);
  EXPECT_EQ(idle.IsActive(), 0);
  EXPECT_EQ(CFSMRegistry::Get()->Find(stepped.GetObjectId()), &stepped);
  EXPECT_EQ(CFSMRegistry::Get()->Find(-1), nullptr);
  stepped.Next(&stepped.stateA);
  idle.Next(&idle.stateA);
  idle.Update();
  idle.Update();
  for (int frame = 0; frame < 3; ++frame) CFSMRegistry::Get()->UpdateAll();
  EXPECT_EQ(stepped.calls, (Lines{"enter A", "update A"}));
  EXPECT_EQ(idle.calls, (Lines{"enter A"}));

  // Every Base is a receiver in the GEO service; its object id is that receiver id.
  EXPECT_EQ(stepped.receiverId, stepped.GetObjectId());
  EXPECT_EQ(static_cast<uint32_t>(idle.receiverId) >> 16, kMSGServiceGEO);
  GetGEOMSGService()->Post(5, -1, idle.GetObjectId(), 0, 0.0);
  EXPECT_EQ(idle.calls.back(), "message A 5");
}

TEST_F(StateMachineTest, DestroyedObjectsLeaveTheRegistryAndTheirQueuedMessages) {
  auto object = std::make_unique<Traced>();
  int32_t id = object->GetObjectId();
  CMSGService* geo = GetGEOMSGService();
  uint32_t queued = geo->GetCount();
  geo->Post(5, -1, id, 0, 10.0);
  EXPECT_EQ(geo->GetCount(), queued + 1);
  object.reset();
  EXPECT_EQ(geo->GetCount(), queued);
  EXPECT_EQ(CFSMRegistry::Get()->Find(id), nullptr);
  EXPECT_EQ(geo->FindListener(id), nullptr);
  // Ids are never handed out again.
  Traced next;
  EXPECT_GT(next.GetObjectId(), id);
}

TEST_F(StateMachineTest, StepsSurviveObjectsDestroyingThemselvesOrOthers) {
  CFSMRegistry* registry = CFSMRegistry::Get();
  auto self = std::make_unique<Traced>();
  auto victim = std::make_unique<Traced>();
  auto survivor = std::make_unique<Traced>();
  std::unique_ptr<Traced> created;
  for (Traced* object : {self.get(), victim.get(), survivor.get()}) {
    object->SetActive(1);
    object->Next(&object->stateA);
  }
  registry->UpdateAll();
  registry->UpdateAll();  // all entered A

  self->hook = [&](const std::string& event) {
    if (event != "update A") return;
    victim.reset();  // the next object in the walk
    created = std::make_unique<Traced>();
    created->SetActive(1);
    created->Next(&created->stateB);
    self.reset();  // and itself
  };
  registry->UpdateAll();
  EXPECT_EQ(self, nullptr);
  EXPECT_EQ(victim, nullptr);
  EXPECT_EQ(survivor->calls.back(), "update A");
  // Created during the walk and stepped in it: its first step left "NULL".
  EXPECT_EQ(created->GetCurrentState(), nullptr);

  // An object destroying itself in an exit handler.
  survivor->hook = [&](const std::string& event) {
    if (event == "exit A") survivor.reset();
  };
  survivor->Next(&survivor->stateB);
  registry->UpdateAll();
  EXPECT_EQ(survivor, nullptr);
  registry->UpdateAll();
  EXPECT_TRUE(created->IsCurrent(&created->stateB));
}

}  // namespace
