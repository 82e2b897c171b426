// The menu and toolbar layouts of the editor.
#include "ui/MenuResources.h"

#include "ui/CommandIds.h"

namespace {

const std::vector<PopupDef> kMainMenu = {
    {"ファイル(&F)", {ID_FILE_NEW, ID_FILE_OPEN, 0, ID_FILE_CLOSE, ID_APP_EXIT}},
    {"表示(&V)", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}},
    {"通信(&C)", {ID_DOWNLOAD, ID_UPLOAD, 0, ID_RESTORE_BACKUP, ID_BACKUP_BEFORE_UPLOAD, ID_LINK_TRACE}},
    {"ヘルプ(&H)", {ID_HELP_FINDER, ID_APP_ABOUT, 0, ID_MANUAL_NO_DOCUMENT}},
};

const std::vector<PopupDef> kPhonebookMenu = {
    {"ファイル(&F)",
     {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_CLOSE, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_IMPORT,
      ID_FILE_EXPORT, ID_APP_EXIT}},
    {"編集(&E)",
     {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_EDIT_FIND}},
    {"表示(&V)", {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, 0, ID_KANA_ORDER, ID_NUMBER_ORDER}},
    {"データ(&D)", {ID_ADD_ENTRY, ID_EDIT_ENTRY, ID_DELETE_ENTRY, 0, ID_FILL_READINGS, 0, ID_DELETE_ALL}},
    {"通信(&C)", {ID_DOWNLOAD, ID_UPLOAD, 0, ID_RESTORE_BACKUP, ID_BACKUP_BEFORE_UPLOAD, ID_LINK_TRACE}},
    {"ウィンドウ(&W)",
     {ID_WINDOW_CASCADE, ID_WINDOW_TILE_HORZ, ID_WINDOW_ARRANGE, 0, ID_WINDOW_MINIMIZE,
      ID_WINDOW_MAXIMIZE, ID_WINDOW_RESTORE},
     true},
    {"ヘルプ(&H)", {ID_OPEN_MANUAL, ID_APP_ABOUT}},
};

const std::vector<PopupDef> kContextMenu = {
    {"",
     {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0, ID_KANA_ORDER, ID_NUMBER_ORDER, 0,
      ID_ADD_ENTRY, ID_EDIT_ENTRY, ID_DELETE_ENTRY, ID_FILL_READINGS, 0, ID_DELETE_ALL, 0, ID_DOWNLOAD,
      ID_UPLOAD}},
};

const std::vector<PopupDef> kNoMenu;

}  // namespace

const std::vector<PopupDef>& MenuResource(int menuId) {
  switch (menuId) {
    case IDR_MAINFRAME: return kMainMenu;
    case IDR_PHONEBOOK: return kPhonebookMenu;
    case IDR_CONTEXT_MENU: return kContextMenu;
    default: return kNoMenu;
  }
}

const std::vector<int>& ToolbarCommands() {
  static const std::vector<int> commands = {
      ID_FILE_NEW,   ID_FILE_OPEN,   ID_FILE_SAVE,    0,  ID_EDIT_CUT,   ID_EDIT_COPY,
      ID_EDIT_PASTE, 0,              ID_EDIT_UNDO,    ID_EDIT_REDO,  0,  ID_EDIT_FIND,
      0,             ID_KANA_ORDER,  ID_NUMBER_ORDER, 0,  ID_ADD_ENTRY,  0,
      ID_DOWNLOAD,   ID_UPLOAD,      0,               ID_OPEN_MANUAL, ID_APP_ABOUT};
  return commands;
}
