#include "engine/tools/DebugToolbar.h"

#include "engine/runtime/messages/MSGService.h"
#include "engine/tools/MessageRecord.h"

DebugToolbar::DebugToolbar() { name = "Vyre Toolbar"; }

DebugToolbar::~DebugToolbar() { children.Clear(); }

void DebugToolbar::Setup(int32_t frame, bool isVertical, bool isFromStart, const Rect& rectangle, const Rect& client) {
  Window::SetDefaultFrame(frame);
  SetLayer(kDeveloperLayer);
  SetRect(rectangle, client);
  vertical = isVertical ? 1 : 0;
  fromStart = isFromStart ? 1 : 0;
  buttonSize = Vector2(32.0f, 32.0f);
  if (fromStart) {
    pen = rectangle.min;
  } else if (vertical) {
    pen = Vector2(rectangle.min.x, rectangle.max.y - buttonSize.y);
  } else {
    pen = Vector2(rectangle.max.x - buttonSize.x, rectangle.min.y);
  }
  SetSlideEdge(kBottom);
  slideEnabled = 1;
}

Icon* DebugToolbar::AddButton(const char* iconFile, const char* buttonName, int32_t targetId, bool enabled) {
  auto button = std::make_unique<Icon>();
  Icon* icon = button.get();
  // The pen is on the screen; a child is placed, drawn and pointed at from
  // the toolbar's content origin.
  Rect place;
  place.SetPositionSize(Vector2::Subtract(pen, HitRect().min), buttonSize);
  icon->Layout(place, place);
  icon->SetStyle(icon->GetStyle() | GUIStyle::kToggle);
  icon->name = buttonName;
  icon->SetImage(1, iconFile);
  const int32_t id = icon->GetId();
  FillRecord(icon->pressMessage, eMSG_GUISHOW, id, targetId, 0);
  FillRecord(icon->releaseMessage, eMSG_GUIHIDE, id, targetId, 0);
  // The name travels as a pointer: the records are posted with delay 0
  // while the button (and so its name) exists.
  FillRecord(icon->gainFocusMessage, eMSG_GUIHOVER, id, parentId, reinterpret_cast<intptr_t>(icon->name.Chars()));
  FillRecord(icon->loseFocusMessage, eMSG_GUIHOVER, id, parentId, 0);
  GetGUIMSGService()->Post(eMSG_GUIACTIVATE, ownId, id, 0, 0.0);
  if (enabled) GetGUIMSGService()->Post(eMSG_GUIENABLE, ownId, id, 0, 0.0);
  children.Add(icon);
  buttons_.push_back(std::move(button));
  const float step = fromStart ? 1.0f : -1.0f;
  if (vertical) {
    pen.y += step * buttonSize.y;
  } else {
    pen.x += step * buttonSize.x;
  }
  return icon;
}

void DebugToolbar::SetSubToolbarCount(int n) {
  subToolbars_.clear();
  for (int i = 0; i < n; ++i) subToolbars_.push_back(std::make_unique<DebugToolbar>());
}
