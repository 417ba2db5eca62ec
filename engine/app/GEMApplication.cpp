#include "engine/app/GEMApplication.h"

#include <ctime>

#include "engine/app/AppCommands.h"
#include "engine/app/GEMCommandServices.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/Profiler.h"
#include "engine/graphics/GFXGL.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/GFXStats.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/console/VariableRegistry.h"
#include "engine/runtime/display/Display.h"
#include "engine/runtime/fsm/FSMRegistry.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/runtime/messages/MSGSystem.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/scene/core/SCNScene.h"
#include "engine/scene/core/SceneNode.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/DBGSystemWindow.h"
#include "platform/Random.h"
#include "platform/UserFolder.h"

namespace {

// The frame's profiler sections, registered once per process.
struct FrameSections {
  int application = -1, maintainEngine = -1, maintainConsole = -1, renderScene = -1, renderHUD = -1, subSystems = -1,
      updateGEO = -1, updateSCN = -1, updateMAT = -1, updateMSG = -1;
};
FrameSections gSections;
bool gSectionsRegistered = false;

// Runs a step inside a profiler section that ends where it began.
template <typename Step>
void InSection(int section, Step&& step) {
  Profiler::Instance().Begin(section);
  step();
  Profiler::Instance().End();
}

}  // namespace

CGEMApplication::CGEMApplication() {
  create_.Set(this, "[GEM] Create", &CGEMApplication::CreateEnter, &CGEMApplication::CreateUpdate,
              &CGEMApplication::IgnoreMessage, &CGEMApplication::CreateExit);
  idle_.Set(this, "[GEM] Idle", &CGEMApplication::IdleEnter, nullptr, &CGEMApplication::ShutdownHandler,
            &CGEMApplication::IdleExit);
  default_.Set(this, "[GEM] Default", &CGEMApplication::DefaultEnter, &CGEMApplication::DefaultUpdate,
               &CGEMApplication::ShutdownHandler, &CGEMApplication::DefaultExit);
  name = "Vyre";
  gemEndpoint_.name = "Vyre";
  GetGEMMSGService()->AddListener(&gemEndpoint_);
  nextState_ = &default_;
  // The scene updates and draws from its root, which starts disabled.
  CSCNNode::GetRoot().enabled = true;
  engineCamera_.name = "GEM.Camera";
  AddCamera(&engineCamera_);
  cameraIndex_ = 0;
  engineCamera_.freeFly = 1;
  // Back from the origin and a little above the ground, so the ground plane
  // and the axes are in view when the engine starts (Ctrl+Home returns to 0).
  engineCamera_.SetPosition(Vector3(0.0f, 20.0f, 150.0f));
  SetActive(1);
  Next(&create_);
  scene_ = [](int32_t) { return 0; };
  hud_ = [](int32_t) { return 0; };
  BoundingBox box;
  box.SetMinMax(Vector3(-1000.0f, -1000.0f, -1000.0f), Vector3(1000.0f, 1000.0f, 1000.0f));
  containment.SetBoundingBox(box);
  CSCNNode::GetRoot().showMarker = false;
  GetWindowManager()->SetLayerFilter(true, 10.0f);
  CreateEngineDirectory()[kDirApplication] = this;
  AddController("GEM.Camera", [this](int32_t) { return FreeCameraControl(); });
  SelectController("GEM.Camera");
}

CGEMApplication::~CGEMApplication() {
  if (loadedScene != nullptr) {
    loadedScene->Release();
    delete loadedScene;
  }
  delete developerWindow;
  // The developer tools must not reach this application any more.
  GetEngineLinks() = DBGEngineLinks();
  CSCNNode::GetRoot().RemoveChild(&engineCamera_.node);
  // The tool library must not reach an application that is gone.
  if (void** directory = GetEngineDirectory(); directory && directory[kDirApplication] == this) {
    directory[kDirApplication] = nullptr;
  }
}

void CGEMApplication::RegisterProfileSections() {
  if (gSectionsRegistered) return;
  gSectionsRegistered = true;
  Profiler& profiler = Profiler::Instance();
  gSections.application = profiler.Register("Application", 1.0f, 1.0f, 1.0f);
  gSections.maintainEngine = profiler.Register("MaintainEngine", 0.0f, 1.0f, 0.0f);
  gSections.maintainConsole = profiler.Register("MaintainConsole", 0.0f, 1.0f, 1.0f);
  gSections.renderScene = profiler.Register("RenderScene", 1.0f, 0.0f, 0.0f);
  gSections.renderHUD = profiler.Register("RenderHUD", 0.0f, 0.0f, 1.0f);
  gSections.subSystems = profiler.Register("SubSystems", 0.0f, 0.0f, 1.0f);
  gSections.updateGEO = profiler.Register("UpdateGEO", 0.0f, 0.0f, 1.0f);
  gSections.updateSCN = profiler.Register("UpdateSCN", 0.0f, 0.0f, 1.0f);
  gSections.updateMAT = profiler.Register("UpdateMAT", 0.0f, 0.0f, 1.0f);
  gSections.updateMSG = profiler.Register("UpdateMSG", 0.0f, 0.0f, 1.0f);
}

bool CGEMApplication::Initialise(const GEMServices& services) {
  services_ = services;
  void** directory = CreateEngineDirectory();
  directory[kDirApplication] = this;
  directory[kDirWindowManager] = GetWindowManager();
  directory[kDirCommandRegistry] = CCommandRegistry::Get();
  directory[kDirVariableRegistry] = CVariableRegistry::Get();
  directory[kDirFSMRegistry] = CFSMRegistry::Get();
  directory[kDirSceneRoot] = &CSCNNode::GetRoot();
  directory[kDirMSGSystem] = CMSGSystem::Get();
  directory[kDirInputManager] = services.input;
  directory[kDirTextureManager] = CTEXManager::GetInstance();
  directory[kDirMaterialManager] = CMATManager::GetInstance();
  directory[kDirModelManager] = &C3MEManager::Instance();
  directory[kDirSoundManager] = services.sound;
  directory[kDirCDSWorld] = &CCDSWorld::Instance();
  directory[kDirGUIMSGService] = GetGUIMSGService();

  RegisterGEMMessageNames();
  RegisterGEOMessageNames();
  RegisterGUIMessageNames();
  RegisterProfileSections();
  ToggleFreeCamera(true);
  platform::SeedRandom(static_cast<uint32_t>(std::time(nullptr)));
  CConsoleVariable* cds = CVariableRegistry::Get()->Register("gem:cds:show", kCVarBool, &options.cdsDrawing,
                                                             "[0 / 1] Toggles CDS containment rendering");
  // A name registered earlier keeps its first binding; it must follow this application.
  if (cds != nullptr) {
    cds->type = kCVarBool;
    cds->storage = &options.cdsDrawing;
  }
  return true;
}

uint8_t CGEMApplication::Frame(bool quitRequested) {
  Clock::Instance().Update();
  ++frameCount_;
  if (quitRequested) {
    GetGEMMSGService()->Post(eMSG_Shutdown, gemEndpoint_.receiverId, gemEndpoint_.receiverId, 0, 0.0);
  }
  RegisterProfileSections();
  Profiler& profiler = Profiler::Instance();
  profiler.Begin(gSections.application);
  if (steps_.rebuildDisplay) steps_.rebuildDisplay();
  InSection(gSections.subSystems, [&] {
    if (steps_.subSystems) steps_.subSystems();
  });
  if (steps_.beginDisplay) steps_.beginDisplay();
  GFXStats::GetInstance()->EndFrame(frameCount_, Clock::Instance().GetFrameRate());
  profiler.Begin(gSections.maintainEngine);
  if (steps_.maintainEngine) steps_.maintainEngine();
  InSection(gSections.updateGEO, [] { CFSMRegistry::Get()->UpdateAll(); });
  if (steps_.updateWindows) steps_.updateWindows();
  InSection(gSections.updateSCN, [] { CSCNNode::GetRoot().Update(); });
  InSection(gSections.updateMAT, [] { CMATManager::GetInstance()->Update(); });
  if (developerWindow != nullptr) {
    GetGUIMSGService()->Post(eMSG_GUIUPDATE, gemEndpoint_.receiverId, developerWindow->ownId, 0, 0.0);
  }
  // Nothing draws once Quit has stopped the GL back end in this frame.
  if (!quitDone_) {
    InSection(gSections.renderScene, [&] { RenderScene(); });
    InSection(gSections.renderHUD, [&] { RenderHUD(); });
  }
  profiler.Begin(gSections.updateMSG);
  if (CMSGSystem* system = CMSGSystem::Get()) {
    for (int slot = 0; slot < CMSGSystem::kServiceSlots; ++slot) {
      if (CMSGService* service = system->GetService(slot)) service->Deliver();
    }
  }
  profiler.End();  // UpdateMSG
  profiler.End();  // MaintainEngine
  profiler.End();  // Application
  if (!quitDone_ && steps_.endDisplay) steps_.endDisplay();
  if (developerWindow != nullptr) {
    if (PerformanceWindow* performance = developerWindow->GetPerformanceWindow()) {
      performance->SetTiming(frameCount_, Clock::Instance().GetFrameRate());
    }
  }
  return exitFlag_;
}

void CGEMApplication::Quit() {
  exitFlag_ = 1;
  // Usually runs twice (the shutdown message and the window's quit); the
  // layout and the GL back end are handled once.
  if (quitDone_) return;
  quitDone_ = true;
  Next(GetNullState());
  CDisplay* display = services_.display;
  CSettings* settings = services_.settings;
  int left = 0;
  int top = 0;
  // Only a moved window changes the settings, so an untouched run saves nothing.
  if (display != nullptr && settings != nullptr && display->GetWindowPosition(&left, &top) &&
      (settings->left != left || settings->top != top)) {
    settings->left = left;
    settings->top = top;
    settings->modified = true;
  }
  WriteWindowLayout();
  if (GFX_GL::IsStarted()) GFX_GL::Stop();
  if (quitHook_) quitHook_();
}

void CGEMApplication::WriteWindowLayout() {
  // The layout is the player's: it goes to the user folder.
  GetWindowManager()->WriteLayout(platform::UserWritePath("Vyre//GUI.TXT").c_str());
}

void CGEMApplication::SaveAfterDisplayLoss() {
  if (savedAfterDisplayLoss_) return;
  savedAfterDisplayLoss_ = true;
  // What the records post (an achievement's fanfare, say) would reach the
  // audio layer and the windows that draw.
  CMSGService::DropAllMessages();
  RecordPlayInProgress();
  if (!quitDone_) WriteWindowLayout();
}

bool CGEMApplication::CanDraw() const {
  return !quitDone_ && services_.display != nullptr && services_.display->HasContext();
}

void CGEMApplication::ApplyStoredDisplayState() {
  if (services_.display == nullptr || !services_.display->HasContext()) return;
  GFXLight* light = GetLight(0);
  light->SetPosition(light0.position);
  light->SetEnabled(light0.enabled != 0);
  light->Apply();
}

void CGEMApplication::IdleEnter() {
  LogGEM("/=");
  LogGEM("Entering Idle state...");
}

void CGEMApplication::IdleExit() { LogGEM("Leaving Idle state..."); }

void CGEMApplication::DefaultEnter() {
  LogGEM("/=");
  LogGEM("Entering Default state...");
}

void CGEMApplication::DefaultUpdate() { OnDefaultUpdate(); }

void CGEMApplication::DefaultExit() { LogGEM("Leaving Default state..."); }

void CGEMApplication::ShutdownHandler(CMSGMessage* message) {
  if (message->id != eMSG_Shutdown) return;
  Quit();
  message->handled |= 1;
}
