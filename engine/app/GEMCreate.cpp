// The "[GEM] Create" state: brings the engine's own data in over several
// frames, so the window shows and answers while it loads.

#include "engine/app/AppCommands.h"
#include "engine/app/GEMApplication.h"
#include "engine/app/GEMCommandServices.h"
#include "engine/foundation/Clock.h"
#include "engine/foundation/Log.h"
#include "engine/foundation/PlaceholderWarning.h"
#include "engine/foundation/ResourceManager.h"
#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXFont.h"
#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/MaterialStage.h"
#include "engine/graphics/RenderState.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/MouseCursor.h"
#include "engine/runtime/console/CommandRegistry.h"
#include "engine/runtime/input/UIOManager.h"
#include "engine/runtime/settings/Settings.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/DBGSystemWindow.h"

namespace {

// Textures reach GL only once a context exists; without one they stay queued.
void LoadQueuedTextures(const CGEMApplication& application) {
  if (application.CanDraw()) CTEXManager::GetInstance()->LoadQueued(false);
}

// Turns on bits of a material and of its first stage.
void MarkMaterial(CMATMaterial* material, uint32_t sides, uint32_t stageBits) {
  if (material == nullptr) return;
  material->SetSides(material->Sides() | sides);
  if (CMATStage* stage = material->GetStage(0)) stage->flags |= stageBits;
}

}  // namespace

void CGEMApplication::CreateEnter() {
  LogGEM("/=");
  LogGEM("Entering Create state...");
  ResourceManager& resources = ResourceManager::Instance();
  if (!resources.Mount("Resources/Vyre.cab")) resources.Mount("/VelkSW/Assets/Resources/Vyre.cab");
  GFXDisplay::AddFont("Fonts/NewDefault.png");
  CMATManager::GetInstance()->ResolveTextures();
  LoadQueuedTextures(*this);
  if (CanDraw()) GFXDisplay::RebuildFontLists();
  if (fontIndex >= 0 && fontIndex < GFXDisplay::GetFontCount()) {
    GFXFont* font = GFXDisplay::GetFont(fontIndex);
    font->scale = Vector2(12.0f, 12.0f);
    font->rebuild = false;
  }
  createStep_ = 0;
  if (!commandServices_) {
    commandServices_ = std::make_unique<GEMCommandServices>(this);
    commands_ = std::make_unique<AppConsoleCommands>(commandServices_.get());
    commands_->Register(*CCommandRegistry::Get());
  }
  MouseCursor* cursor = GetMouseCursor();
  cursor->SetImage(1, "Icons/MouseCursor.png");
  // The arrow picture is 32 x 32 HUD units, its tip at the cursor position.
  Rect arrow;
  arrow.SetPositionSize(Vector2(0.0f, 0.0f), Vector2(32.0f, 32.0f));
  cursor->Layout(arrow, arrow);
  FindNamedObject("GEM.Camera");
  Log::EnableChannel(kLogGUI, false);
  if (!hud_) {
    hud_ = [this](int32_t) {
      if (CanDraw()) GFXDisplay::SetRenderState(0x82c);
      return 0;
    };
  }
}

void CGEMApplication::LinkDeveloperTools() {
  DBGEngineLinks& links = GetEngineLinks();
  links.cameraAt = [this](int32_t position) { return GetCamera(position); };
  links.currentCamera = [this] { return GetActiveCamera(); };
  links.drawScene = [this] { CallSceneCallback(); };
  links.input = GetUIOManager();
}

void CGEMApplication::CreateUpdate() {
  switch (createStep_) {
    case 0:
      LoadCreateMaterials();
      break;
    case 1:
      if (options.createDeveloperWindow && developerWindow == nullptr) {
        LinkDeveloperTools();
        developerWindow = new DBGSystemWindow();
        developerWindow->SetDefaultFrame(fontIndex);
      }
      if (secondModel != nullptr && secondModel->loadState == C3MEModel::kLoaded) {
        secondModel->SetSize(1000.0f);
        secondModel->PrepareMatrices();
      }
      break;
    case 2:
      OnCreateEarly();
      break;
    case 3:
      OnCreateLate();
      break;
    case 4:
      RunCommandLineLoads();
      break;
    default:
      break;
  }
  // From step 4 on, every step asks for the next state again until it comes.
  if (createStep_ >= 4 && nextState_ != nullptr) Next(nextState_);
  C3MEManager::Instance().LoadResources();
  CMATManager::GetInstance()->ResolveTextures();
  LoadQueuedTextures(*this);
  ++createStep_;
}

void CGEMApplication::CreateExit() {
  Clock::Instance().Start();
  LogGEM("Leaving Create state...");
}

void CGEMApplication::LoadCreateMaterials() {
  CMATManager* materials = CMATManager::GetInstance();
  groundMaterial = materials->GetMaterial("Misc/GroundPlane.png");
  makerLogo = materials->GetMaterial("Materials/textures/logos/velksw_translucent.png");
  engineLogo = materials->GetMaterial("Materials/textures/logos/Vyrelogo.png");
  MarkMaterial(groundMaterial, 0x300, 0x320);
  if (groundMaterial != nullptr) {
    if (CMATStage* stage = groundMaterial->GetStage(0)) stage->colour[3] = 0.75f;
  }
  MarkMaterial(makerLogo, 0x100, 0x200100);
  MarkMaterial(engineLogo, 0x100, 0x200100);
  logoTurn.Set(ValueStepper::kWrap, 0.0f, 360.0f, 0.0f, 0.0f);
  materials->ReadNeededLibrary("Vyre\\Textures\\GUI\\Materials.txt");
}

void CGEMApplication::RunCommandLineLoads() {
  CSettings* settings = services_.settings;
  if (settings == nullptr) return;
  struct Load {
    const char* option;
    const char* prefix;
    const char* what;
  };
  for (const Load& load :
       {Load{"/3ME", "3ME ", "the /3ME option's model"}, Load{"/SCN", "SCN ", "the /SCN option's scene"}}) {
    StringPair* argument = settings->FindArgument(load.option);
    if (argument == nullptr || argument->value.IsEmpty()) continue;
    String name("load");
    String text(load.prefix);
    text += argument->value;
    // The player asked for it on the command line: a failure is theirs to
    // see, once (the model manager may have named the file already).
    if (CCommandRegistry::Get()->Execute(name, text) != 0) WarnPlaceholder(argument->value.Chars(), load.what);
  }
}
