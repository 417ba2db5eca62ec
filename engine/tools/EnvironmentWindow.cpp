#include "engine/tools/EnvironmentWindow.h"

#include <algorithm>

#include "engine/graphics/GFXDisplay.h"
#include "engine/graphics/GFXLight.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/runtime/messages/MSGService.h"
#include "engine/scene/core/Camera.h"
#include "engine/tools/DBGEngineLinks.h"

namespace {

constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;
constexpr int kLightCount = 8;

}  // namespace

EnvironmentWindow::EnvironmentWindow() { name = "Vyre Environment"; }

EnvironmentWindow::~EnvironmentWindow() { children.Clear(); }

void EnvironmentWindow::SetDefaultFrame(int32_t fontIndex) {
  Window::SetDefaultFrame(fontIndex);
  SetLayer(kLayer);
  Rect screen;
  screen.SetPositionSize(Vector2(0, 0), Vector2(kScreenWidth, kScreenHeight));
  SetRect(screen, screen);
  // No frame: only the icons show.
  for (CMATMaterial*& image : images) image = nullptr;
  frameMaterial = nullptr;
  style &= ~(GUIStyle::kFrame | GUIStyle::kImage | GUIStyle::kImageIsFrame);

  CMATManager* materials = CMATManager::GetInstance();
  camera_ = materials->GetMaterial("materials/textures/hud/icons/camera.png");
  sceneNode_ = materials->GetMaterial("materials/textures/hud/icons/SceneNode.png");
  particles_ = materials->GetMaterial("materials/textures/hud/icons/ParticleSystems.png");
  light_ = materials->GetMaterial("materials/textures/hud/icons/Light.png");
  sound_ = materials->GetMaterial("materials/textures/hud/icons/SoundEffect.png");

  Rect place;
  place.SetPositionSize(Vector2(0, 0), Vector2(kIconSize, kIconSize));
  for (std::unique_ptr<Icon>& icon : icons_) {
    if (icon == nullptr) icon = std::make_unique<Icon>();
    icon->Layout(place, place);
    GetGUIMSGService()->Post(eMSG_GUIACTIVATE, ownId, icon->GetId(), 0, 0.0);
    GetGUIMSGService()->Post(eMSG_GUIENABLE, ownId, icon->GetId(), 0, 0.0);
  }
}

Vector2 EnvironmentWindow::ScreenPosition(const Vector3& point) {
  Vector2 projected;
  // Off-screen points still project; the clamp below keeps their icons at the edge.
  GFXDisplay::ProjectToScreen(point, &projected);
  const float half = kIconSize / 2.0f;
  return Vector2(std::clamp(projected.x - half, 0.0f, kScreenWidth - kIconSize),
                 std::clamp(projected.y - half, 0.0f, kScreenHeight - kIconSize));
}

bool EnvironmentWindow::PlaceIcon(int* used, CMATMaterial* image, const char* iconName, const Vector3& point) {
  if (*used >= kIconCount || icons_[*used] == nullptr) return false;
  Icon* icon = icons_[(*used)++].get();
  icon->SetImageMaterial(1, image);
  icon->name = iconName;
  icon->MoveTo(ScreenPosition(point));
  GetGUIMSGService()->Post(eMSG_GUISHOW, ownId, icon->GetId(), 0, 0.0);
  children.Add(icon);
  return true;
}

void EnvironmentWindow::Layout(const Rect& newOuter, const Rect& newInner) {
  DebugWindow::Layout(newOuter, newInner);
  children.Clear();
  int used = 0;
  const DBGEngineLinks& links = GetEngineLinks();
  const Camera* current = links.CurrentCamera();
  for (int32_t i = 0; Camera* camera = links.CameraAt(i); ++i) {
    if (camera == current) continue;
    if (!PlaceIcon(&used, camera_, camera->name.Chars(), camera->GetPosition())) break;
  }
  for (int n = 0; n < kLightCount; ++n) {
    const GFXLight* light = GetLight(n);
    if (light == nullptr || !light->IsEnabled()) continue;
    if (!PlaceIcon(&used, light_, "Light", light->position)) break;
  }
  for (int i = used; i < kIconCount; ++i) {
    if (icons_[i] != nullptr) GetGUIMSGService()->Post(eMSG_GUIHIDE, ownId, icons_[i]->GetId(), 0, 0.0);
  }
}

void EnvironmentWindow::Show(bool show) {
  DebugWindow::Show(show);
  if (show) Layout(outer, inner);
}

void EnvironmentWindow::OnUpdate() {
  DebugWindow::OnUpdate();
  Layout(outer, inner);
}

void EnvironmentWindow::DrawContents() { BeginContents(1, 1); }
