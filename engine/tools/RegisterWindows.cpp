#include "engine/tools/RegisterWindows.h"

#include <cstdio>

#include "engine/graphics/Material.h"
#include "engine/graphics/MaterialManager.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureManager.h"
#include "engine/gui/GUIWindowManager.h"
#include "engine/gui/Window.h"
#include "engine/scene/core/Camera.h"
#include "engine/scene/core/SceneNode.h"
#include "engine/scene/model/Mesh.h"
#include "engine/scene/model/Model.h"
#include "engine/scene/model/ModelManager.h"
#include "engine/tools/CameraViewWindow.h"
#include "engine/tools/DBGEngineLinks.h"
#include "engine/tools/MaterialWindow.h"
#include "engine/tools/ModelWindow.h"
#include "engine/tools/TextureWindow.h"

int32_t CountEngineCameras() {
  int32_t count = 0;
  while (GetEngineLinks().CameraAt(count) != nullptr) ++count;
  return count;
}

// ---- directory list ----

DirectoryListWindow::DirectoryListWindow()
    : RegisterWindow("Vyre Directory List", "[Vyre] Directory List", kRegisterCacheSize) {}

DirectoryListWindow::~DirectoryListWindow() = default;

void DirectoryListWindow::Show(bool visible) {
  if (visible) listing.Scan(pattern.Chars());
  RegisterWindow::Show(visible);
}

void DirectoryListWindow::Populate() {
  BeginRebuild();
  Root().name = listing.Path();
  AddTextRow(nullptr, "..", -1);
  for (uint32_t i = 0; i < listing.FolderCount(); ++i) {
    const String folder = String("\\") + listing.GetFolder(i);
    AddTextRow(nullptr, folder.Chars(), static_cast<int32_t>(i));
  }
  for (uint32_t j = 0; j < listing.FileCount(); ++j) {
    AddTextRow(nullptr, listing.GetFile(j).Chars(), static_cast<int32_t>(j));
  }
  EndRebuild(true);
}

// ---- models ----

ModelRegisterWindow::ModelRegisterWindow()
    : RegisterWindow("Vyre Model Register", "[3ME] Model Register", kRegisterCacheSize) {}

ModelRegisterWindow::~ModelRegisterWindow() = default;

std::unique_ptr<DebugWindow> ModelRegisterWindow::CreateCompanion() { return std::make_unique<ModelWindow>(); }

ModelWindow* ModelRegisterWindow::Viewer() const { return static_cast<ModelWindow*>(companion_.get()); }

void ModelRegisterWindow::Populate() {
  const C3MEManager& models = C3MEManager::Instance();
  if (models.GetModelCount() == TopLevelCount()) return;
  BeginRebuild();
  char text[64];
  for (uint32_t i = 0; i < models.GetModelCount(); ++i) {
    const C3MEModel* model = models.GetModelAt(i);
    const int32_t index = static_cast<int32_t>(i);
    GUIExplorerItem* row = AddRow(nullptr, index, model->name.Chars(), index);
    std::snprintf(text, sizeof text, "Components(%u)", model->GetMeshCount());
    GUIExplorerItem* components = AddTextRow(row, text, index);
    for (uint32_t j = 0; j < model->GetMeshCount(); ++j) {
      AddRow(components, static_cast<int32_t>(j), model->GetMesh(j)->name.Chars(), index);
    }
    std::snprintf(text, sizeof text, "Materials(%u)", model->GetMaterialCount());
    GUIExplorerItem* materials = AddTextRow(row, text, index);
    for (uint32_t k = 0; k < model->GetMaterialCount(); ++k) {
      const CMATMaterial* material = model->GetMaterial(k);
      AddRow(materials, static_cast<int32_t>(k), material != nullptr ? material->Name().Chars() : "", index);
    }
  }
  EndRebuild(true);
}

void ModelRegisterWindow::ItemPicked(GUIExplorerItem* item) {
  if (item == nullptr || Viewer() == nullptr) return;
  Viewer()->SelectModel(item->data);
  ShowCompanion();
}

// ---- scene nodes ----

SceneNodeRegisterWindow::SceneNodeRegisterWindow()
    : RegisterWindow("Vyre Scene Node Register", "[SCN] Root Node", kRegisterCacheSize) {}

SceneNodeRegisterWindow::~SceneNodeRegisterWindow() = default;

void SceneNodeRegisterWindow::AddNode(GUIExplorerItem* parent, const CSCNNode& node) {
  char text[128];
  const Vector3 position = node.GetPosition();
  // The fourth value is the node's bounding radius, the field after its position.
  std::snprintf(text, sizeof text, "[%.4f, %.4f, %.4f] [%.4f]", position.x, position.y, position.z, node.radius);
  GUIExplorerItem* row = AddTextRow(parent, text, 0);
  for (uint32_t i = 0; i < node.GetChildCount(); ++i) {
    if (const CSCNNode* child = node.GetChild(i)) AddNode(row, *child);
  }
}

void SceneNodeRegisterWindow::Populate() {
  BeginRebuild();
  AddNode(nullptr, CSCNNode::GetRoot());
  EndRebuild(false);
}

// ---- GUI windows ----

UserInterfaceRegisterWindow::UserInterfaceRegisterWindow()
    : RegisterWindow("Vyre User Interface Register", "[GUI] Graphical User Interface", kRegisterCacheSize) {}

UserInterfaceRegisterWindow::~UserInterfaceRegisterWindow() = default;

void UserInterfaceRegisterWindow::Populate() {
  const GUIWindowManager* manager = GetWindowManager();
  const int count = manager->GetWindowCount();
  if (static_cast<uint32_t>(count) == TopLevelCount()) return;
  BeginRebuild();
  for (int i = 0; i < count; ++i) {
    const Window* window = manager->GetWindowAt(i);
    if (window == nullptr) continue;
    GUIExplorerItem* row = AddRow(nullptr, window->GetId(), window->name.Chars(), i);
    // Every child but the last is listed.
    for (int c = 0; c < window->children.Count() - 1; ++c) {
      const GUIObject* child = window->children.GetAt(c);
      if (child != nullptr) AddRow(row, child->GetId(), child->name.Chars(), i);
    }
  }
  EndRebuild(true);
}

// ---- cameras ----

CameraRegisterWindow::CameraRegisterWindow() : RegisterWindow("Vyre Camera", "[GEM] Camera Register", kCacheSize) {}

CameraRegisterWindow::~CameraRegisterWindow() = default;

std::unique_ptr<DebugWindow> CameraRegisterWindow::CreateCompanion() { return std::make_unique<CameraViewWindow>(); }

CameraViewWindow* CameraRegisterWindow::Viewer() const { return static_cast<CameraViewWindow*>(companion_.get()); }

void CameraRegisterWindow::Populate() {
  const int32_t count = CountEngineCameras();
  if (static_cast<uint32_t>(count) == TopLevelCount()) return;
  BeginRebuild();
  for (int32_t i = 0; i < count; ++i) {
    const Camera* camera = GetEngineLinks().CameraAt(i);
    AddRow(nullptr, i, camera != nullptr ? camera->name.Chars() : "", i);
  }
  EndRebuild(true);
}

void CameraRegisterWindow::ItemPicked(GUIExplorerItem* item) {
  if (item == nullptr || Viewer() == nullptr) return;
  Viewer()->SelectCamera(item->data);
  ShowCompanion();
}

// ---- textures ----

TextureRegisterWindow::TextureRegisterWindow()
    : RegisterWindow("Vyre Texture Register", "[TEX] Texture Register", kRegisterCacheSize) {}

TextureRegisterWindow::~TextureRegisterWindow() = default;

std::unique_ptr<DebugWindow> TextureRegisterWindow::CreateCompanion() { return std::make_unique<TextureWindow>(); }

TextureWindow* TextureRegisterWindow::Viewer() const { return static_cast<TextureWindow*>(companion_.get()); }

void TextureRegisterWindow::Populate() {
  const CTEXManager* textures = CTEXManager::GetInstance();
  if (textures->TextureCount() == TopLevelCount()) return;
  BeginRebuild();
  for (uint32_t i = 0; i < textures->TextureCount(); ++i) {
    const CTEXTexture* texture = textures->TextureAt(i);
    const String fullName = texture != nullptr ? texture->GetFullName() : String("");
    AddRow(nullptr, static_cast<int32_t>(i), fullName.Chars(), static_cast<int32_t>(i));
  }
  EndRebuild(true);
}

void TextureRegisterWindow::ItemPicked(GUIExplorerItem* item) {
  if (item == nullptr || Viewer() == nullptr) return;
  Viewer()->SelectTexture(item->data);
  ShowCompanion();
}

// ---- materials ----

MaterialRegisterWindow::MaterialRegisterWindow()
    : RegisterWindow("Vyre Material Register", "[MAT] Material Register", kRegisterCacheSize) {}

MaterialRegisterWindow::~MaterialRegisterWindow() = default;

std::unique_ptr<DebugWindow> MaterialRegisterWindow::CreateCompanion() { return std::make_unique<MaterialWindow>(); }

MaterialWindow* MaterialRegisterWindow::Viewer() const { return static_cast<MaterialWindow*>(companion_.get()); }

void MaterialRegisterWindow::Populate() {
  const CMATManager* materials = CMATManager::GetInstance();
  if (materials->GetMaterialCount() == TopLevelCount()) return;
  BeginRebuild();
  for (uint32_t i = 0; i < materials->GetMaterialCount(); ++i) {
    const CMATMaterial* material = materials->GetMaterialAt(i);
    AddRow(nullptr, static_cast<int32_t>(i), material != nullptr ? material->Name().Chars() : "",
           static_cast<int32_t>(i));
  }
  EndRebuild(true);
}

void MaterialRegisterWindow::ItemPicked(GUIExplorerItem* item) {
  if (item == nullptr || Viewer() == nullptr) return;
  // A row's index always lies in the list; a stale one wraps as a selection does.
  Viewer()->SelectMaterial(item->data);
  ShowCompanion();
}
