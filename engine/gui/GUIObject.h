#pragma once
// The root of every GUI element: a framed rectangle that draws itself, a state
// machine stepped by the window manager, and a receiver in the GUI message
// service. Coordinates are floats on the 800 x 600 virtual screen, y down.

#include <cstdint>
#include <vector>

#include "engine/foundation/Rect.h"
#include "engine/foundation/String.h"
#include "engine/foundation/Vector2.h"
#include "engine/runtime/fsm/StateMachine.h"
#include "engine/runtime/messages/MSGMessage.h"
#include "engine/runtime/messages/MessageIds.h"

class CMATMaterial;
class GUIObject;

// Style word bits.
namespace GUIStyle {
inline constexpr uint32_t kFrame = 0x01;         // nine-piece frame
inline constexpr uint32_t kImage = 0x02;         // one image (when kFrame is clear)
inline constexpr uint32_t kOverlay = 0x04;       // overlay material, rotated
inline constexpr uint32_t kContents = 0x08;      // draw contents
inline constexpr uint32_t kBandStrip = 0x40;     // image is a strip of four state bands
inline constexpr uint32_t kClip = 0x80;          // clip contents to the inner rectangle
inline constexpr uint32_t kToggle = 0x100;       // icons: press toggles
inline constexpr uint32_t kHasTitleBar = 0x400;  // windows
inline constexpr uint32_t kTitleButtons = 0x1000;
inline constexpr uint32_t kImageIsFrame = 0x2000;
inline constexpr uint32_t kDefault = 0xca;
}  // namespace GUIStyle

// State word bits.
namespace GUIState {
inline constexpr uint32_t kShown = 0x01;
inline constexpr uint32_t kActive = 0x02;
inline constexpr uint32_t kFocusLost = 0x08;
inline constexpr uint32_t kPressed = 0x10;
inline constexpr uint32_t kDefaults = 0x20;
inline constexpr uint32_t kTakesInput = 0x40;
inline constexpr uint32_t kMaximised = 0x80;
inline constexpr uint32_t kMinimised = 0x100;
}  // namespace GUIState

// Draws an element's contents in place of its DrawContents.
class GUIRenderFunction {
 public:
  virtual ~GUIRenderFunction() = default;
  virtual void Render(GUIObject* object) = 0;
};

class GUIObject : public StateMachine, public CMSGListener {
 public:
  static constexpr int kImageCount = 4;

  // Registers with the GUI message service (id -1 when it is full).
  GUIObject();
  // Leaves the service and drops the window manager's focus pointers to it.
  ~GUIObject() override;

  // ---- virtual operations ----
  // Picks the image (and band) for the current state; only with image states on.
  virtual void UpdateImageState();
  // Image `index` (0..3) becomes the material; refuses a bad index or null.
  virtual bool SetImageMaterial(int index, CMATMaterial* material);
  // Drops every material pointer (the material manager is going away).
  void ForgetMaterials();
  // Looks the material up by name in the material manager, then SetImageMaterial.
  virtual bool SetImage(int index, const char* materialName);
  virtual void LoseFocus();
  virtual void GainFocus();
  // Hit test against the (inner by default) rectangle, edges included.
  virtual void OnMouseMove(const Vector2& point);
  virtual void OnLButtonDown(CMSGMessage*) {}
  virtual void OnPress();
  virtual void OnLButtonHeld() {}
  virtual void OnLButtonDouble() {}
  virtual void OnLButtonUp();
  virtual void OnMButtonDown();
  virtual void OnMButtonDouble() {}
  virtual void OnMButtonUp() {}
  virtual void OnRButtonDown();
  virtual void OnRButtonDouble() {}
  virtual void OnRButtonUp() {}
  virtual void OnWheelUp(intptr_t) {}
  virtual void OnWheelDown(intptr_t) {}
  virtual void OnKeyDown(intptr_t) {}
  virtual void OnKeyHeld(intptr_t) {}
  virtual void OnKeyUp(intptr_t) {}
  virtual void Show(bool shown);
  virtual void Activate(bool active);
  virtual void EnableInput();
  virtual void DisableInput();
  // Copies both rectangles, then the content anchor and extent follow.
  virtual void Layout(const Rect& outer, const Rect& inner);
  virtual void BeginDrag();
  virtual void EndDrag();
  virtual void Close();
  // Moves the outer min to the position; the inner rectangle keeps its offset.
  virtual void MoveTo(const Vector2& position);
  // Outer and inner become (outer min, outer size + delta).
  virtual void Grow(const Vector2& delta);
  virtual void OnCreate() {}
  virtual void OnChange() {}
  virtual void OnUpdate() {}
  virtual void DrawContents() = 0;
  // Frame or image, overlay, then the (clipped) contents; only when shown.
  virtual void Draw();

  // The only entry for input and GUI commands.
  void OnMessage(CMSGMessage* message) override;

  // ---- plain operations ----
  uint32_t GetStyle() const { return style; }
  void SetStyle(uint32_t word) { style = word; }
  uint32_t GetState() const { return state; }
  void SetState(uint32_t word) { state = word; }
  bool HasState(uint32_t bits) const { return (state & bits) != 0; }
  void SetImageStates(bool on) { imageStates = on ? 1 : 0; }
  void SetLayer(float value);
  float GetLayer() const { return layer; }
  void SetRenderFunction(GUIRenderFunction* function);
  int32_t GetId() const { return ownId; }
  void SetParentId(int32_t id) { parentId = id; }
  int32_t GetParentId() const { return parentId; }
  String GetNameString() const { return name; }
  void SetName(const char* text) { name = text; }
  bool IsFocusedElement() const;
  // True when the point is inside the hit-test rectangle (edges included).
  bool HitTest(const Vector2& point) const;
  const Rect& HitRect() const { return hitOnInner ? inner : outer; }
  CMATMaterial* GetImage(int index) const;
  // Pixel scissor box of the content rectangle for a display size.
  static void ContentScissor(const Vector2& anchor, const Vector2& extent, int displayWidth, int displayHeight,
                             int box[4]);

  // ---- frame part ----
  Rect outer;
  Rect inner;
  CMATMaterial* frameMaterial = nullptr;    // not owned
  CMATMaterial* overlayMaterial = nullptr;  // not owned
  float overlayRotation = 0.0f;
  Rect pieceUV[9];
  Rect imageUV;
  Vector2 uvCentre{0.5f, 0.5f};
  uint8_t hitOnInner = 1;
  uint8_t outlinePieces = 0;
  Vector2 contentAnchor;
  Vector2 contentExtent;
  int32_t savedScissor[4] = {0, 0, 0, 0};

  // ---- own fields ----
  GUIRenderFunction* renderFunction = nullptr;  // not owned
  uint8_t imageStates = 0;
  int32_t ownId = -1;
  int32_t parentId = -1;
  float scrollX = 0.0f;
  float scrollY = 0.0f;
  float layer = 0.0f;
  uint32_t style = GUIStyle::kDefault;
  uint32_t state = GUIState::kDefaults;
  Vector2 pressPosition;
  Vector2 dragOffset;
  CMATMaterial* images[kImageCount] = {nullptr, nullptr, nullptr, nullptr};

 protected:
  // Content anchor (min x, max y) and extent from the hit-test rectangle.
  void UpdateContentArea();
  // Posts a GUI message with delay 0 (delivered before the call returns).
  void PostGUI(uint32_t id, int32_t target, intptr_t value = 0) const;
};

// The child elements a window holds (not owned), in order.
class GUIChildList {
 public:
  void Add(GUIObject* element);
  void Remove(GUIObject* element);
  void Clear();
  bool Contains(const GUIObject* element) const;
  // 0-based; null when out of range.
  GUIObject* GetAt(int index) const;
  int LastIndex() const;
  int Count() const;
  void DrawAll();
  void HitTestAll(const Vector2& point);
  // Each child's OnMessage, head to tail, until one handles it.
  void Broadcast(CMSGMessage* message);

 private:
  std::vector<GUIObject*> children_;
};
