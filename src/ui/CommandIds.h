// Numeric ids of the editor's commands and resources. The menus, the toolbar, the
// accelerators and the string table (status-bar prompt and tooltip) share the command ids.
#pragma once

#include "strings/StringIds.h"  // the texts: string ids and the framework's texts

enum CommandId : int {
  ID_FILE_NEW = 57600,
  ID_FILE_OPEN = 57601,
  ID_FILE_CLOSE = 57602,
  ID_FILE_SAVE = 57603,
  ID_FILE_SAVE_AS = 57604,
  ID_APP_EXIT = 57665,
  ID_EDIT_COPY = 57634,
  ID_EDIT_CUT = 57635,
  ID_EDIT_PASTE = 57637,
  ID_EDIT_FIND = 57636,
  ID_EDIT_UNDO = 57643,
  ID_EDIT_REDO = 57644,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
  ID_WINDOW_ARRANGE = 57649,
  ID_WINDOW_CASCADE = 57650,
  ID_WINDOW_TILE_HORZ = 57651,
  ID_APP_ABOUT = 57664,
  ID_HELP_FINDER = 57666,
  ID_HELP = 57670,
  ID_NEXT_PANE = 57680,
  ID_PREV_PANE = 57681,
  ID_KANA_ORDER = 32773,
  ID_NUMBER_ORDER = 32774,
  ID_ADD_ENTRY = 32778,
  ID_EDIT_ENTRY = 32779,
  ID_DELETE_ALL = 32780,
  ID_DOWNLOAD = 32783,
  ID_UPLOAD = 32784,
  ID_DELETE_ENTRY = 32793,
  ID_FILE_IMPORT = 32798,
  ID_MANUAL_NO_DOCUMENT = 32803,  // マニュアル of the no-document menu: does nothing
  ID_OPEN_MANUAL = 32805,
  ID_FILE_EXPORT = 32820,         // the phonebook, or the selected rows, as a vCard file
  ID_FILL_READINGS = 32821,       // readings from the dictionary for many entries at once
  // The active phonebook window's own buttons, from the window menu.
  ID_WINDOW_MINIMIZE = 32840,
  ID_WINDOW_MAXIMIZE = 32841,
  ID_WINDOW_RESTORE = 32842,
  ID_RESTORE_BACKUP = 32830,      // a backup of the handset's phonebook opened or uploaded
  ID_BACKUP_BEFORE_UPLOAD = 32831,  // the setting: uploads back up and preview first
  ID_LINK_TRACE = 32832,          // the setting: the link trace for support, on or off
};

enum ResourceId : int {
  IDR_MAINFRAME = 128,    // menu, accelerators, icon and title of the no-document state
  IDR_PHONEBOOK = 129,    // menu and icon of a phonebook window; the document template
  IDR_CONTEXT_MENU = 206,
};
