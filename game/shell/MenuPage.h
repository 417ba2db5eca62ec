#pragma once

// One page of the front end's menus: a title and a list of items, one of
// them highlighted. Disabled items are skipped by navigation.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/foundation/String.h"

// Gem-font colours of the items.
enum MenuColour : uint32_t {
  kMenuRed = 0,
  kMenuOrange = 1,
  kMenuYellow = 2,
  kMenuGreen = 3,
  kMenuCyan = 4,
  kMenuBlue = 5,
  kMenuPurple = 6,
  kMenuBlack = 7,
};
// An ordinary item, the profile in use, a disabled item, the highlighted one.
constexpr uint32_t kItemColour = kMenuBlue;
constexpr uint32_t kCurrentProfileColour = kMenuGreen;
constexpr uint32_t kDisabledColour = kMenuBlack;
constexpr uint32_t kSelectedColour = kMenuYellow;

// A text formatted for drawing (no line end).
String MenuText(const char* format, ...) __attribute__((format(printf, 1, 2)));

struct MenuItem {
  uint32_t colour = kItemColour;
  String text;
  bool enabled = true;

  // Enabled items are drawn in the ordinary colour, disabled ones in black.
  void Enable(bool on) {
    enabled = on;
    colour = on ? kItemColour : kDisabledColour;
  }
};

struct MenuPage {
  String title;
  uint32_t selection = 0;
  std::vector<MenuItem> items;

  // A page of ordinary items with the selection on the first.
  MenuPage(const char* pageTitle, std::initializer_list<const char*> texts);

  uint32_t ItemCount() const { return static_cast<uint32_t>(items.size()); }
  bool IsSelectable(uint32_t index) const { return index < items.size() && items[index].enabled; }
  // Moves to the next enabled item below (Down) or above (Up); no wrap.
  // False, and nothing changes, when there is none.
  bool SelectNext();
  bool SelectPrevious();
  // Brings a kept selection inside the list and onto an enabled item: the
  // first enabled at or after it, else the last enabled before it. With no
  // enabled item it only stays inside the list.
  void SettleSelection();
};
