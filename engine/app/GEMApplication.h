#pragma once
// The engine's application object: three states ("[GEM] Create", "[GEM] Idle",
// "[GEM] Default"), the create steps that bring the engine's data in over
// several frames, and shutdown on request. The game derives from it and
// replaces the state that follows Create.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/app/EngineDirectory.h"
#include "engine/foundation/String.h"
#include "engine/foundation/ValueStepper.h"
#include "engine/foundation/Vector3.h"
#include "engine/runtime/fsm/Base.h"
#include "engine/runtime/fsm/FsmState.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/scene/cds/CDSWorld.h"
#include "engine/scene/core/Camera.h"

class AppConsoleCommands;
class C3MEModel;
class CDisplay;
class CMATMaterial;
class CSCNScene;
class CSettings;
class CUIOManager;
class CSFXManager;
class DBGSystemWindow;
class GEMCommandServices;

// The option bytes of the application, with the engine's defaults. The game
// replaces them in its constructor.
struct GEMOptions {
  uint8_t scaleOnLoad = 1;
  uint8_t showLogos = 1;
  uint8_t escapeQuits = 1;
  uint8_t developerKeys = 1;
  uint8_t createDeveloperWindow = 0;
  uint8_t axesMask = 7;  // bit 1 X, bit 2 Y, bit 4 Z
  uint8_t axesLabels = 1;
  uint8_t groundPlane = 1;
  uint8_t modelViewer = 0;
  uint8_t cdsDrawing = 0;
  uint8_t lightGizmos = 0;
};

// A light kept until the GL back end exists; it applies it when it starts.
struct StoredLight {
  Vector3 position{0.0f, 1000.0f, 0.0f};
  uint8_t enabled = 1;
};

// The steps of a frame that reach managers living outside the application
// (display, input, sound, renderer, window manager). Unset steps are skipped.
struct GEMFrameSteps {
  std::function<void()> rebuildDisplay;  // the display asked for a change
  std::function<void()> subSystems;      // queued loads, sound, font lists
  std::function<void()> beginDisplay;    // finish any open frame, clear the buffers
  std::function<void()> maintainEngine;  // input messages, then hot keys
  std::function<void()> updateWindows;   // one state step per GUI window
  std::function<void()> renderScene;     // the renderer's part of the scene pass
  std::function<void()> endDisplay;      // finish the frame and swap
};

// The managers the application works with; handed over by the run function.
struct GEMServices {
  CDisplay* display = nullptr;
  CUIOManager* input = nullptr;
  CSFXManager* sound = nullptr;
  // Where the window position is kept at quit (may be null).
  CSettings* settings = nullptr;
};

class CGEMApplication : public Base {
 public:
  CGEMApplication();
  ~CGEMApplication() override;

  // Fills the engine directory, registers the message names, the profiler
  // sections and the console variable of the application; returns true.
  bool Initialise(const GEMServices& services);
  // Registers the frame's profiler sections (once per process).
  static void RegisterProfileSections();

  // One frame: posts the shutdown while quit is asked for, then steps every
  // state machine whose stepping flag is set. Returns the exit flag.
  uint8_t Frame(bool quitRequested);

  // Ends the application: requests the "NULL" state, lets the outside save
  // what it keeps (window position, GUI layout) and stop the GL back end, and
  // sets the exit flag. Safe to call more than once.
  virtual void Quit();
  void SetQuitHook(std::function<void()> hook) { quitHook_ = std::move(hook); }
  bool HasQuit() const { return quitDone_; }

  // The display is gone for good (its server went away, or another program
  // destroyed the window) and no frame will run again: keeps what a quit
  // would keep, as file work only: the play in progress recorded (see
  // RecordPlayInProgress) and, unless Quit has written it, the window
  // layout. Nothing is drawn, polled or played, no X or GL call is made, and
  // the messages posted on the way reach nobody (for the rest of the
  // process). Done once.
  void SaveAfterDisplayLoss();
  // What leaving the current state would record of the play in progress (a
  // game's result, statistics and saves), done at once and without a frame:
  // file work over state that is whole between frames, no drawing, no
  // teardown. The engine's own states record nothing.
  virtual void RecordPlayInProgress() {}

  // The state Create asks for when its steps are done.
  void SetNextState(FsmState* state) { nextState_ = state; }
  FsmState* GetCreateState() { return &create_; }
  FsmState* GetIdleState() { return &idle_; }
  FsmState* GetDefaultState() { return &default_; }
  FsmState* GetNextState() const { return nextState_; }

  // The steps of the frame that belong to the managers outside.
  GEMFrameSteps& FrameSteps() { return steps_; }

  // The scene and HUD passes: the pre-scene, scene and HUD callbacks around
  // the renderer's work.
  virtual void RenderScene();
  virtual void RenderHUD();

  // Cameras: appends one and hangs its node under the scene root.
  bool AddCamera(Camera* camera);
  // Makes the camera of that name the active one; false when none has it.
  bool FindNamedObject(const String& name);
  bool IsActiveCamera(const String& name) const;
  bool IsCurrentCamera(const Camera* camera) const { return camera != nullptr && camera == activeCamera_; }
  // The camera at a position of the list, or null past its end.
  Camera* GetCamera(int32_t position) const;
  // The camera of that name, or null; the active camera is left alone.
  Camera* FindCamera(const String& name) const;
  Camera* GetActiveCamera() const { return activeCamera_; }
  Camera& GetEngineCamera() { return engineCamera_; }
  void SetFreeFlyFlag(uint8_t on) { engineCamera_.freeFly = on; }

  // Camera controllers: up to ten named callbacks; the active one runs once a frame.
  using ControllerCallback = std::function<int32_t(int32_t)>;
  static constexpr uint32_t kMaxControllers = 10;
  bool AddController(const String& name, ControllerCallback callback);
  bool SelectController(const String& name);
  // Calls the active controller with 0 (nothing when none is active).
  void RunActiveController();
  int32_t GetActiveControllerIndex() const { return activeController_; }

  // The free camera: on makes "GEM.Camera" active and drives it; off returns
  // to the camera used before, when there is one.
  void ToggleFreeCamera(bool on);
  // What the free camera reads each frame; the run function fills it.
  struct FreeCameraInput {
    uint16_t (*readKey)(const void* keyboard, uint8_t code) = nullptr;
    const void* keyboard = nullptr;
    bool mousePresent = false;
    int32_t mouseMotion[3] = {0, 0, 0};
    bool developerWindowShown = false;
  };
  FreeCameraInput& FreeCameraInputs() { return freeCameraInput_; }
  // The controller registered under "GEM.Camera"; returns 0.
  int32_t FreeCameraControl();

  // Asks the mouse and keyboard to acquire again and records the answers;
  // a device that stays lost is reported on the debugger output.
  void ReacquireInput();

  // Callbacks; calling one passes 0.
  using RenderCallback = std::function<int32_t(int32_t)>;
  void SetPreSceneCallback(RenderCallback callback) { preScene_ = std::move(callback); }
  void SetSceneCallback(RenderCallback callback) { scene_ = std::move(callback); }
  void SetHUDCallback(RenderCallback callback) { hud_ = std::move(callback); }
  // Calls the scene callback with 0 when one is installed.
  // Fills the developer tools' links to this application's cameras, scene
  // drawing and input.
  void LinkDeveloperTools();
  void CallSceneCallback() {
    if (scene_) scene_(0);
  }

  // True while drawing can reach GL: a display with a live context, and the
  // application has not quit (Quit stops the GL back end).
  bool CanDraw() const;
  const GEMServices& Services() const { return services_; }

  // Releases the viewer model and loads the named one; true when it loaded
  // as a mesh model (the viewer then shows it; otherwise it shows nothing).
  bool LoadViewerModel(const String& fileName);
  // Replaces the loaded scene by the named file; true when it loaded.
  bool LoadScene(const String& fileName);
  // The developer console line: "HIDE 3ME" and "GET SETTINGS".
  void HandleConsolePhrase();
  // Gives light 0 the stored values and applies it, once the first GL
  // context exists.
  void ApplyStoredDisplayState();
  // Called after the window and its GL context were rebuilt, once the engine
  // has restored its own part: a derived application sets up again what it
  // set up once for the old context.
  virtual void OnDisplayRebuilt() {}

  GEMOptions options;
  // The model the LOAD command put in the model viewer, and the loaded scene.
  C3MEModel* viewerModel = nullptr;
  CSCNScene* loadedScene = nullptr;
  // A model a derived application shows at full size (sized in Create).
  C3MEModel* secondModel = nullptr;
  Vector3 viewerOffset;
  uint8_t viewerTurning = 0;
  ValueStepper viewerTurn;
  ValueStepper logoTurn;
  // The font of the profiler, the developer window and the console.
  int32_t fontIndex = 0;
  CMATMaterial* groundMaterial = nullptr;
  CMATMaterial* makerLogo = nullptr;
  CMATMaterial* engineLogo = nullptr;
  DBGSystemWindow* developerWindow = nullptr;
  // The application's containment shape: a box of 1000 each way.
  CCDSShape containment;
  // Status line drawn by the HUD pass (null or empty: none).
  const char* statusText = nullptr;
  uint8_t debugCounter = 0;
  float axisScale = 1.0f;
  uint32_t renderState = 0x82c;
  // Kept for the GL back end: applied once a context exists.
  StoredLight light0;

  uint32_t GetFrameCount() const { return frameCount_; }
  uint8_t GetExitFlag() const { return exitFlag_; }
  // The receiver id input and shutdown messages on the GEM service are sent to.
  int32_t GetGEMReceiverId() const { return gemEndpoint_.receiverId; }

 protected:
  // Hooks for derived applications: called at create steps 3 and 2, and every
  // frame of the Default state.
  virtual void OnCreateLate() {}
  virtual void OnCreateEarly() {}
  virtual void OnDefaultUpdate() {}

 private:
  void CreateEnter();
  void CreateUpdate();
  void CreateExit();
  void IgnoreMessage(CMSGMessage*) {}
  void IdleEnter();
  void IdleExit();
  void DefaultEnter();
  void DefaultUpdate();
  void DefaultExit();
  void ShutdownHandler(CMSGMessage* message);
  // The window layout, in the user folder.
  void WriteWindowLayout();
  void LoadCreateMaterials();
  void RunCommandLineLoads();
  void DrawOtherCameras();
  void DrawCollisionWorld();

  struct ControllerEntry {
    String name;
    ControllerCallback callback;
  };

  FsmStateOf<CGEMApplication> create_;
  FsmStateOf<CGEMApplication> idle_;
  FsmStateOf<CGEMApplication> default_;
  FsmState* nextState_ = nullptr;
  // The application's receiver on the GEM service; hands messages to the current state.
  CMSGForwarder<StateMachine, &StateMachine::HandleMessage> gemEndpoint_{this};
  uint32_t createStep_ = 0;
  uint32_t frameCount_ = 0;
  uint8_t exitFlag_ = 0;
  bool quitDone_ = false;
  bool savedAfterDisplayLoss_ = false;
  GEMFrameSteps steps_;
  GEMServices services_;
  Camera engineCamera_;
  std::vector<Camera*> cameras_;
  Camera* activeCamera_ = nullptr;
  int32_t cameraIndex_ = 0;
  int32_t previousCameraIndex_ = 0;
  std::vector<ControllerEntry> controllers_;
  int32_t activeController_ = -1;
  int32_t savedController_ = -1;
  FreeCameraInput freeCameraInput_;
  RenderCallback preScene_;
  RenderCallback scene_;
  RenderCallback hud_;
  std::function<void()> quitHook_;
  std::unique_ptr<GEMCommandServices> commandServices_;
  std::unique_ptr<AppConsoleCommands> commands_;
};
