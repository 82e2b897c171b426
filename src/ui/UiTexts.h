// Texts the editor shows that have no string-table id: the captions and texts of its own
// message boxes, dialog titles, labels and column titles. UTF-8; "\r\n" as in the resources.
#pragma once

namespace UiText {

inline constexpr const char* kSecondInstanceCaption = "二重起動";
inline constexpr const char* kSecondInstanceText =
    "「Velmora-QV 電話帳ソフト」はすでに起動しています。\r\n\r\n"
    "起動中の「Velmora-QV 電話帳ソフト」を終了してから、再起動してください。";
inline constexpr const char* kUnsupportedSystemCaption = "非対応 OS 利用不可";
inline constexpr const char* kUnsupportedSystemText =
    "「Velmora-QV 電話帳ソフト」は、Windows Xp 以上のオペレーティング・システムでのみ動作します。\r\n"
    "（Windows 95/98/Me/NT/2000 では動作致しません。）";
inline constexpr const char* kNewRefusedCaption = "ファイルの新規作成";
inline constexpr const char* kNewRefusedText =
    "これ以上新規にファイルが作成できません。\r\n\r\n"
    "現在開いているファイルを閉じてから、再度「新規作成」を選択してください。";

inline constexpr const char* kIdleMessage = "レディ";
inline constexpr const char* kAboutCaption = "バージョン情報 Velmora-QV 電話帳ソフト";
inline constexpr const char* kManualFileName = "Velmora-QV用電話帳編集ソフト_マニュアル.pdf";
inline constexpr const char* kPdfReaderProgram = "acrord32";

inline constexpr const char* kAddDialogTitle = "データの追加";
inline constexpr const char* kEditDialogTitle = "データの編集";
inline constexpr const char* kDeleteCaption = "データ削除の確認";
inline constexpr const char* kDeleteText = "選択されたデータを削除します。\r\n\r\nよろしいですか？";
inline constexpr const char* kDeleteAllCaption = "データ全削除の確認";
inline constexpr const char* kDeleteAllText =
    "リスト内の全てのデータを削除します。\r\n\r\nよろしいですか？";

// Accessible names of the view's controls (read by screen readers).
inline constexpr const char* kViewName = "電話帳";
inline constexpr const char* kTabStripName = "五十音順表示";
inline constexpr const char* kTabBarName = "五十音の行";
inline constexpr const char* kKanaListName = "五十音順リスト";
inline constexpr const char* kNumberListName = "番号順リスト";
inline constexpr const char* kContextMenuName = "データのメニュー";
inline constexpr const char* kStatusBarName = "ステータス バー";
inline constexpr const char* kSizeGripName = "サイズ変更グリップ";

}  // namespace UiText
