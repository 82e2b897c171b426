// The table of the editor's commands.
#include "ui/CommandTable.h"

#include <algorithm>

#include "ui/CommandIds.h"

namespace {

using Key = QKeySequence;
using T = CommandTarget;

// In the order of the phonebook window's menus.
const std::vector<CommandDef> kCommands = {
    {ID_FILE_NEW, T::Application, "新規電話帳作成\tCtrl+N(&N)", {Key(Qt::CTRL | Qt::Key_N)}},
    {ID_FILE_OPEN, T::Application, "開く...\tCtrl+O(&O)", {Key(Qt::CTRL | Qt::Key_O)}},
    {ID_FILE_CLOSE, T::Document, "閉じる(&C)", {}},
    {ID_FILE_SAVE, T::Document, "上書き保存\tCtrl+S(&S)", {Key(Qt::CTRL | Qt::Key_S)}},
    {ID_FILE_SAVE_AS, T::Document, "名前を付けて保存(&A)...", {}},
    {ID_FILE_IMPORT, T::Document, "インポート...", {}},
    {ID_FILE_EXPORT, T::View, "エクスポート...", {}},
    {ID_APP_EXIT, T::Application, "アプリケーションの終了(&X)", {}},
    {ID_EDIT_UNDO, T::View, "元に戻す\tCtrl+Z(&U)",
     {Key(Qt::CTRL | Qt::Key_Z), Key(Qt::ALT | Qt::Key_Backspace)}},
    {ID_EDIT_REDO, T::View, "やり直し\tCtrl+Y(&R)",
     {Key(Qt::CTRL | Qt::Key_Y), Key(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
    {ID_EDIT_CUT, T::View, "切り取り\tCtrl+X(&T)",
     {Key(Qt::CTRL | Qt::Key_X), Key(Qt::SHIFT | Qt::Key_Delete)}},
    {ID_EDIT_COPY, T::View, "コピー\tCtrl+C(&C)",
     {Key(Qt::CTRL | Qt::Key_C), Key(Qt::CTRL | Qt::Key_Insert)}},
    {ID_EDIT_PASTE, T::View, "貼り付け\tCtrl+V(&P)",
     {Key(Qt::CTRL | Qt::Key_V), Key(Qt::SHIFT | Qt::Key_Insert)}},
    {ID_EDIT_FIND, T::View, "検索\tCtrl+F(&F)", {Key(Qt::CTRL | Qt::Key_F)}},
    {ID_VIEW_TOOLBAR, T::MainWindow, "ツール バー(&T)", {}},
    {ID_VIEW_STATUS_BAR, T::MainWindow, "ステータス バー(&S)", {}},
    {ID_KANA_ORDER, T::View, "五十音順表示(&K)", {}, true},
    {ID_NUMBER_ORDER, T::View, "番号順表示(&N)", {}, true},
    {ID_ADD_ENTRY, T::View, "新規追加(&A)", {}},
    {ID_EDIT_ENTRY, T::View, "編集(&E)", {}},
    {ID_DELETE_ENTRY, T::View, "削除(&D)", {}},
    {ID_FILL_READINGS, T::View, "読みの一括入力(&Y)...", {}},
    {ID_DELETE_ALL, T::View, "全削除(&C)", {}},
    {ID_DOWNLOAD, T::ViewElseApplication, "ダウンロード(&D)", {}},
    {ID_UPLOAD, T::View, "アップロード(&U)", {}},
    {ID_RESTORE_BACKUP, T::Application, "端末のバックアップから復元(&R)...", {}},
    {ID_BACKUP_BEFORE_UPLOAD, T::Application, "アップロード前にバックアップと確認(&B)", {}},
    {ID_LINK_TRACE, T::Application, "通信ログを記録(&L)", {}},
    {ID_WINDOW_CASCADE, T::MainWindow, "重ねて表示(&C)", {}},
    {ID_WINDOW_TILE_HORZ, T::MainWindow, "並べて表示(&T)", {}},
    {ID_WINDOW_ARRANGE, T::MainWindow, "アイコンの整列(&A)", {}},
    {ID_WINDOW_MINIMIZE, T::MainWindow, "最小化(&N)", {}},
    {ID_WINDOW_MAXIMIZE, T::MainWindow, "最大化(&X)", {}},
    {ID_WINDOW_RESTORE, T::MainWindow, "元のサイズに戻す(&R)", {}},
    {ID_OPEN_MANUAL, T::Application, "マニュアル(&M)", {}},
    {ID_APP_ABOUT, T::Application, "バージョン情報(&A)", {}},
    // The menu without a phonebook window.
    {ID_HELP_FINDER, T::None, "トピックの検索(&H)", {}},
    {ID_MANUAL_NO_DOCUMENT, T::Application, "マニュアル", {}},
    // Keys alone.
    {ID_HELP, T::MainWindow, nullptr, {Key(Qt::Key_F1)}},
    {ID_NEXT_PANE, T::None, nullptr, {Key(Qt::Key_F6)}},
    {ID_PREV_PANE, T::None, nullptr, {Key(Qt::SHIFT | Qt::Key_F6)}},
};

}  // namespace

const std::vector<CommandDef>& CommandTable() { return kCommands; }

const CommandDef& CommandOf(int id) {
  static const CommandDef kUnknown{0, CommandTarget::None, nullptr, {}};
  const auto row = std::find_if(kCommands.begin(), kCommands.end(),
                                [id](const CommandDef& def) { return def.id == id; });
  return row == kCommands.end() ? kUnknown : *row;
}
