// The editor's menus, toolbar and accelerator table as data: the menus and toolbar are
// built from these tables, so every item, id and order lives in one place.
#pragma once

#include <QKeySequence>

#include <vector>

struct MenuItemDef {
  int id;            // command id; 0 for a separator
  const char* text;  // UTF-8, with "&" mnemonics and "\t" before the shortcut text
};

struct PopupDef {
  const char* title;
  std::vector<MenuItemDef> items;
  bool windowList = false;  // the open phonebook windows are listed after the items
};

// Menu 128 (no phonebook open), 129 (a phonebook window active) or 206 (the list's
// context menu, one popup).
const std::vector<PopupDef>& MenuResource(int menuId);

// The toolbar's command ids in button order; 0 for a separator.
const std::vector<int>& ToolbarCommands();

struct AcceleratorDef {
  QKeySequence key;
  int id;
};

const std::vector<AcceleratorDef>& Accelerators();
