// Message scripts: message name, receiver name and a running delay per line.
#include "engine/runtime/messages/MSGService.h"
#include "fuzz/FuzzTarget.h"

namespace {

struct Door : CMSGListener {
  Door() { name = "Door"; }
  void OnMessage(CMSGMessage*) override {}
};

}  // namespace

FUZZ_TARGET(MessageScript) {
  static CMSGService* const service = [] {
    auto* made = new CMSGService("Fuzz MSG Service", 0x10);
    made->RegisterMessageName(MakeMessageId(0x10, 1), "eMSG_Open");
    made->RegisterMessageName(MakeMessageId(0x10, 2), "eMSG_Close");
    made->AddListener(new Door());
    return made;
  }();
  const std::string path = fuzz::ScratchFile("script.txt", data, size);
  service->LoadScript(path.c_str());
  service->Deliver();
  // What is still waiting belongs to this input only.
  while (service->GetCount() > 0) service->RemoveAt(0);
}
