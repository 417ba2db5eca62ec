#pragma once

// Message ids: the number of the service a message belongs to in the high 16
// bits, the message number (below 256) in the low 16 bits. The generic ids
// carry no service and may be posted into any service.

#include <cstdint>

// Service numbers (one bit each) and the slots they occupy in the system.
enum MSGServiceNumber : uint16_t {
  kMSGServiceGEM = 1,
  kMSGServiceGEO = 2,
  kMSGServiceGUI = 4,
  kMSGServiceUIO = 8,
};

// A receiver id or message id of the given service and number.
constexpr uint32_t MakeMessageId(uint16_t service, uint16_t number) {
  return (static_cast<uint32_t>(service) << 16) | number;
}

enum MSGGenericId : uint32_t {
  eMSG_Null = 0,
  eMSG_Start = 1,
  eMSG_Stop = 2,
  eMSG_Next = 3,
  eMSG_Previous = 4,
  eMSG_Select = 5,
  eMSG_Escape = 6,
  eMSG_Initialise = 7,
  eMSG_Shutdown = 8,
};

enum MSGGEMId : uint32_t {
  eMSG_GEMNull = 0x10000,
};

enum MSGGEOId : uint32_t {
  eMSG_GEOCollision = 0x20001,
};

enum MSGGUIId : uint32_t {
  eMSG_GUINull = 0x40000,
  eMSG_GUICREATE = 0x40001,
  eMSG_GUICLOSE = 0x40002,
  eMSG_GUIACTIVATE = 0x40003,
  eMSG_GUIDEACTIVATE = 0x40004,
  eMSG_GUIMINIMISE = 0x40005,
  eMSG_GUIMAXIMISE = 0x40006,
  eMSG_GUIRESIZE = 0x40007,
  eMSG_GUIRESTORE = 0x40008,
  eMSG_GUISHOW = 0x40009,
  eMSG_GUIHIDE = 0x4000a,
  eMSG_GUIREPOSITION = 0x4000b,
  eMSG_GUIUPDATE = 0x4000c,
  eMSG_GUISIZETOCONTENT = 0x4000d,
  eMSG_GUIADJUSTSIZE = 0x4000e,
  eMSG_GUIENABLE = 0x4000f,
  eMSG_GUIDISABLE = 0x40010,
  eMSG_GUIBRANCHEXPANDED = 0x40011,
  eMSG_GUIBRANCHCOLLAPSED = 0x40012,
  eMSG_GUIBRANCHPICKED = 0x40013,
  eMSG_GUIBRANCHRELEASED = 0x40014,
  eMSG_GUICHANGE = 0x40015,
  // 0x40016 has no name: a tool button reports the pointer hovering over it.
  eMSG_GUIHOVER = 0x40016,
  eMSG_GUILMBDOWN = 0x40017,
  eMSG_GUILMBUP = 0x40018,
  eMSG_GUIMMBDOWN = 0x40019,
  eMSG_GUIMMBUP = 0x4001a,
  eMSG_GUIRMBDOWN = 0x4001b,
  eMSG_GUIRMBUP = 0x4001c,
  eMSG_GUIWHEELUP = 0x4001d,
  eMSG_GUIWHEELDOWN = 0x4001e,
  eMSG_GUIMOUSEMOVE = 0x4001f,
  eMSG_GUILMBDOUBLE = 0x40020,
  eMSG_GUIMMBDOUBLE = 0x40021,
  eMSG_GUIRMBDOUBLE = 0x40022,
  eMSG_GUITOGGLESHOW = 0x40023,
  eMSG_GUITOGGLEMENU = 0x40024,
  eMSG_GUIPAGE = 0x40025,
  eMSG_GUILOSEFOCUS = 0x40026,
  eMSG_GUIGAINFOCUS = 0x40027,
};

// Input ids; the input manager registers their names in the UIO service, and
// input messages are posted into the GEM and GUI services.
enum MSGUIOId : uint32_t {
  eMSG_UIONull = 0x80000,
  eMSG_UIOKEYDOWN = 0x80001,
  eMSG_UIOKEYHELD = 0x80002,
  eMSG_UIOKEYUP = 0x80003,
  eMSG_UIOLMB_DOWN = 0x80004,
  eMSG_UIOLMB_HELD = 0x80005,
  eMSG_UIOLMB_UP = 0x80006,
  eMSG_UIOLMB_DBL = 0x80007,
  eMSG_UIOMMB_DOWN = 0x80008,
  eMSG_UIOMMB_HELD = 0x80009,
  eMSG_UIOMMB_UP = 0x8000a,
  eMSG_UIOMMB_DBL = 0x8000b,
  eMSG_UIORMB_DOWN = 0x8000c,
  eMSG_UIORMB_HELD = 0x8000d,
  eMSG_UIORMB_UP = 0x8000e,
  eMSG_UIORMB_DBL = 0x8000f,
  eMSG_UIOWHEEL_UP = 0x80010,
  eMSG_UIOWHEEL_DOWN = 0x80011,
  eMSG_UIOMOUSEMOVE = 0x80012,
  eMSG_UIOPADDOWN = 0x80013,
  eMSG_UIOPADHELD = 0x80014,
  eMSG_UIOPADUP = 0x80015,
};
