#pragma once
// The seven register windows: the directory list and the registers of
// models, scene nodes, GUI windows, cameras, textures and materials. Four
// of them open a viewer on the entry the user picks.

#include <memory>

#include "engine/foundation/DirList.h"
#include "engine/tools/RegisterWindow.h"

class CSCNNode;
class CameraViewWindow;
class MaterialWindow;
class ModelWindow;
class TextureWindow;

// "Vyre Directory List": the folders and files of a folder listing.
class DirectoryListWindow : public RegisterWindow {
 public:
  DirectoryListWindow();
  ~DirectoryListWindow() override;
  // Rescans the listing, then rebuilds.
  void Show(bool visible) override;
  // The root takes the folder's path; ".." (data -1), "\" + each folder
  // (data: its index), then each file (data: its index).
  void Populate() override;
  // The folder pattern scanned on every show.
  String pattern{"./*.*"};
  DirList listing;
};

// "Vyre Model Register": each model with its components and materials.
class ModelRegisterWindow : public RegisterWindow {
 public:
  ModelRegisterWindow();
  ~ModelRegisterWindow() override;
  // Only when the model count changed; every row below a model carries its index.
  void Populate() override;
  // The model window shows the model of the row.
  void ItemPicked(GUIExplorerItem* item) override;
  ModelWindow* Viewer() const;

 protected:
  std::unique_ptr<DebugWindow> CreateCompanion() override;
};

// "Vyre Scene Node Register": the scene graph, rebuilt on every show.
class SceneNodeRegisterWindow : public RegisterWindow {
 public:
  SceneNodeRegisterWindow();
  ~SceneNodeRegisterWindow() override;
  // Each node as its position and bounding radius, below its parent.
  void Populate() override;

 private:
  void AddNode(GUIExplorerItem* parent, const CSCNNode& node);
};

// "Vyre User Interface Register": every registered GUI window with its
// child widgets.
class UserInterfaceRegisterWindow : public RegisterWindow {
 public:
  UserInterfaceRegisterWindow();
  ~UserInterfaceRegisterWindow() override;
  // Only when the window count changed: each window once, in the window
  // manager's order, with all but its last child below it.
  void Populate() override;
};

// "Vyre Camera": the application's cameras.
class CameraRegisterWindow : public RegisterWindow {
 public:
  static constexpr uint32_t kCacheSize = 10;
  CameraRegisterWindow();
  ~CameraRegisterWindow() override;
  // Only when the camera count changed.
  void Populate() override;
  // The camera view shows the camera of the row.
  void ItemPicked(GUIExplorerItem* item) override;
  CameraViewWindow* Viewer() const;

 protected:
  std::unique_ptr<DebugWindow> CreateCompanion() override;
};

// "Vyre Texture Register": the texture manager's textures.
class TextureRegisterWindow : public RegisterWindow {
 public:
  TextureRegisterWindow();
  ~TextureRegisterWindow() override;
  // Only when the texture count changed.
  void Populate() override;
  // The texture window shows the texture of the row.
  void ItemPicked(GUIExplorerItem* item) override;
  TextureWindow* Viewer() const;

 protected:
  std::unique_ptr<DebugWindow> CreateCompanion() override;
};

// "Vyre Material Register": the material manager's materials.
class MaterialRegisterWindow : public RegisterWindow {
 public:
  MaterialRegisterWindow();
  ~MaterialRegisterWindow() override;
  // Only when the material count changed.
  void Populate() override;
  // The material window shows the material of the row.
  void ItemPicked(GUIExplorerItem* item) override;
  MaterialWindow* Viewer() const;

 protected:
  std::unique_ptr<DebugWindow> CreateCompanion() override;
};

// The number of cameras the application lists.
int32_t CountEngineCameras();
