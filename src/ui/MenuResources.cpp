// The menu, toolbar and accelerator tables of the editor.
#include "ui/MenuResources.h"

#include "ui/CommandIds.h"

namespace {

const std::vector<PopupDef> kMainMenu = {
    {"ファイル(&F)",
     {{ID_FILE_NEW, "新規電話帳作成\tCtrl+N(&N)"},
      {ID_FILE_OPEN, "開く...\tCtrl+O(&O)"},
      {0, nullptr},
      {ID_FILE_CLOSE, "閉じる(&C)"},
      {ID_APP_EXIT, "アプリケーションの終了(&X)"}}},
    {"表示(&V)",
     {{ID_VIEW_TOOLBAR, "ツール バー(&T)"}, {ID_VIEW_STATUS_BAR, "ステータス バー(&S)"}}},
    {"通信(&C)", {{ID_DOWNLOAD, "ダウンロード(&D)"}, {ID_UPLOAD, "アップロード(&U)"}}},
    {"ヘルプ(&H)",
     {{ID_HELP_FINDER, "トピックの検索(&H)"},
      {ID_APP_ABOUT, "バージョン情報(&A)"},
      {0, nullptr},
      {ID_MANUAL_NO_DOCUMENT, "マニュアル"}}},
};

const std::vector<PopupDef> kPhonebookMenu = {
    {"ファイル(&F)",
     {{ID_FILE_NEW, "新規電話帳作成\tCtrl+N(&N)"},
      {ID_FILE_OPEN, "開く...\tCtrl+O(&O)"},
      {ID_FILE_CLOSE, "閉じる(&C)"},
      {ID_FILE_SAVE, "上書き保存\tCtrl+S(&S)"},
      {ID_FILE_SAVE_AS, "名前を付けて保存(&A)..."},
      {ID_FILE_IMPORT, "インポート..."},
      {ID_FILE_EXPORT, "エクスポート..."},
      {ID_APP_EXIT, "アプリケーションの終了(&X)"}}},
    {"編集(&E)",
     {{ID_EDIT_UNDO, "元に戻す\tCtrl+Z(&U)"},
      {ID_EDIT_REDO, "やり直し\tCtrl+Y(&R)"},
      {0, nullptr},
      {ID_EDIT_CUT, "切り取り\tCtrl+X(&T)"},
      {ID_EDIT_COPY, "コピー\tCtrl+C(&C)"},
      {ID_EDIT_PASTE, "貼り付け\tCtrl+V(&P)"},
      {0, nullptr},
      {ID_EDIT_FIND, "検索\tCtrl+F(&F)"}}},
    {"表示(&V)",
     {{ID_VIEW_TOOLBAR, "ツール バー(&T)"},
      {ID_VIEW_STATUS_BAR, "ステータス バー(&S)"},
      {0, nullptr},
      {ID_KANA_ORDER, "五十音順表示(&K)"},
      {ID_NUMBER_ORDER, "番号順表示(&N)"}}},
    {"データ(&D)",
     {{ID_ADD_ENTRY, "新規追加(&A)"},
      {ID_EDIT_ENTRY, "編集(&E)"},
      {ID_DELETE_ENTRY, "削除(&D)"},
      {0, nullptr},
      {ID_DELETE_ALL, "全削除(&C)"}}},
    {"通信(&C)", {{ID_DOWNLOAD, "ダウンロード(&D)"}, {ID_UPLOAD, "アップロード(&U)"}}},
    {"ウィンドウ(&W)",
     {{ID_WINDOW_CASCADE, "重ねて表示(&C)"},
      {ID_WINDOW_TILE_HORZ, "並べて表示(&T)"},
      {ID_WINDOW_ARRANGE, "アイコンの整列(&A)"}},
     true},
    {"ヘルプ(&H)", {{ID_OPEN_MANUAL, "マニュアル(&M)"}, {ID_APP_ABOUT, "バージョン情報(&A)"}}},
};

const std::vector<PopupDef> kContextMenu = {
    {"",
     {{ID_EDIT_CUT, "切り取り\tCtrl+X(&T)"},
      {ID_EDIT_COPY, "コピー\tCtrl+C(&C)"},
      {ID_EDIT_PASTE, "貼り付け\tCtrl+V(&P)"},
      {0, nullptr},
      {ID_KANA_ORDER, "五十音順表示(&K)"},
      {ID_NUMBER_ORDER, "番号順表示(&N)"},
      {0, nullptr},
      {ID_ADD_ENTRY, "新規追加(&A)"},
      {ID_EDIT_ENTRY, "編集(&E)"},
      {ID_DELETE_ENTRY, "削除(&D)"},
      {0, nullptr},
      {ID_DELETE_ALL, "全削除(&C)"},
      {0, nullptr},
      {ID_DOWNLOAD, "ダウンロード(&D)"},
      {ID_UPLOAD, "アップロード(&U)"}}},
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
      ID_FILE_NEW,   ID_FILE_OPEN,     ID_FILE_SAVE,     0,         ID_EDIT_CUT,
      ID_EDIT_COPY,  ID_EDIT_PASTE,    0,                ID_EDIT_UNDO,  ID_EDIT_REDO,
      0,             ID_KANA_ORDER,    ID_NUMBER_ORDER,  0,             ID_ADD_ENTRY,
      0,             ID_DOWNLOAD,      ID_UPLOAD,        0,             ID_OPEN_MANUAL,
      ID_APP_ABOUT};
  return commands;
}

const std::vector<AcceleratorDef>& Accelerators() {
  static const std::vector<AcceleratorDef> table = {
      {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
      {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
      {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
      {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
      {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
      {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
      {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
      {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
      {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
      {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
      {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
      {QKeySequence(Qt::CTRL | Qt::Key_Y), ID_EDIT_REDO},
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), ID_EDIT_REDO},
      {QKeySequence(Qt::CTRL | Qt::Key_F), ID_EDIT_FIND},
      {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
      {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
      {QKeySequence(Qt::Key_F1), ID_HELP},
  };
  return table;
}
