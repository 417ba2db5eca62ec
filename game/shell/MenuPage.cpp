#include "game/shell/MenuPage.h"

#include <cstdarg>

String MenuText(const char* format, ...) {
  String text;
  text.noNewline = 1;
  va_list args;
  va_start(args, format);
  text.FormatV(format, args);
  va_end(args);
  return text;
}

MenuPage::MenuPage(const char* pageTitle, std::initializer_list<const char*> texts) : title(pageTitle) {
  for (const char* text : texts) {
    MenuItem item;
    item.text = text;
    items.push_back(item);
  }
}

bool MenuPage::SelectNext() {
  for (uint32_t index = selection + 1; index < ItemCount(); ++index) {
    if (items[index].enabled) {
      selection = index;
      return true;
    }
  }
  return false;
}

bool MenuPage::SelectPrevious() {
  for (uint32_t index = selection < ItemCount() ? selection : ItemCount(); index > 0; --index) {
    if (items[index - 1].enabled) {
      selection = index - 1;
      return true;
    }
  }
  return false;
}

void MenuPage::SettleSelection() {
  if (items.empty()) {
    selection = 0;
    return;
  }
  if (selection >= ItemCount()) selection = ItemCount() - 1;
  if (items[selection].enabled) return;
  if (SelectNext()) return;
  SelectPrevious();
}
