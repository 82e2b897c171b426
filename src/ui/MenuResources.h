// Where the commands stand in the editor's menus and on its toolbar: the menus and the
// toolbar are built from these layouts, with each command's words from the command table.
#pragma once

#include <vector>

struct PopupDef {
  const char* title;
  std::vector<int> items;   // command ids; 0 for a separator
  bool windowList = false;  // the open phonebook windows are listed after the items
};

// Menu 128 (no phonebook open), 129 (a phonebook window active) or 206 (the list's
// context menu, one popup).
const std::vector<PopupDef>& MenuResource(int menuId);

// The toolbar's command ids in button order; 0 for a separator.
const std::vector<int>& ToolbarCommands();
