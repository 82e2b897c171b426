// The ids of the string table's texts (StringTable.cpp holds the texts). Message boxes
// use a caption id and a text id; command prompts share the command's own id
// (ui/CommandIds.h). The numbers are the resource ids the texts have always had.
#pragma once

enum StringId : int {
  // Application, document template, about box
  IDS_APP_TITLE = 128,           // the editor's title; caption of the framework's messages
  IDS_DOC_TEMPLATE = 129,        // "\n電話帳\n電話帳\n<filter>\n.csv\n..."
  IDS_VERSION_PREFIX = 130,
  IDS_ABOUT_NOTE = 131,

  // Document files
  IDS_OPEN_CAPTION = 136,        // ファイルのオープン
  IDS_OPEN_NO_SLOT = 137,
  IDS_READ_CAPTION = 138,        // ファイルからデータの読出し
  IDS_INVALID_FORMAT = 139,
  IDS_WRITE_CAPTION = 140,       // ファイルへのデータの書込み
  IDS_WRITE_FAILED = 141,

  // Transfers
  IDS_PORT_UNAVAILABLE_CAPTION = 142,
  IDS_PORT_UNAVAILABLE = 143,
  IDS_PORT_NOT_FOUND_CAPTION = 146,
  IDS_PORT_NOT_FOUND = 147,
  IDS_CONFIRM_DOWNLOAD_CAPTION = 148,
  IDS_CONFIRM_DOWNLOAD = 149,
  IDS_DOWNLOAD_DONE_CAPTION = 150,
  IDS_DOWNLOAD_DONE = 151,
  IDS_DOWNLOAD_FAILED_CAPTION = 152,
  IDS_DOWNLOAD_FAILED = 153,
  IDS_DOWNLOAD_ABORTED_CAPTION = 154,
  IDS_DOWNLOAD_ABORTED = 155,
  IDS_CONFIRM_UPLOAD_CAPTION = 156,
  IDS_CONFIRM_UPLOAD = 157,
  IDS_UPLOAD_DONE_CAPTION = 158,
  IDS_UPLOAD_DONE = 159,
  IDS_UPLOAD_FAILED_CAPTION = 160,
  IDS_UPLOAD_FAILED = 161,
  IDS_UPLOAD_ABORTED_CAPTION = 162,
  IDS_UPLOAD_ABORTED = 163,
  IDS_HANDSET_PHONEBOOK_AT_RISK = 164,  // follows a failed upload's text once the handset was told to clear
  IDS_NO_ENTRIES_CAPTION = 166,  // データの登録確認
  IDS_NO_ENTRIES = 167,
  IDS_COMM_ERROR_CAPTION = 218,  // 通信エラー
  IDS_PHONEBOOK_LOCKED = 219,
  IDS_NO_ANSWER_CAPTION = 220,   // 端末応答エラー
  IDS_NO_ANSWER = 221,

  // Entry checks (caption IDS_CHECK_CAPTION)
  IDS_CHECK_CAPTION = 168,       // 入力データの確認
  IDS_NUMBER_NOT_DIGITS = 169,
  IDS_READING_BAD_CHARACTER = 170,
  IDS_NAME_TOO_LONG = 173,
  IDS_READING_TOO_LONG = 174,
  IDS_PHONE1_TOO_LONG = 175,
  IDS_PHONE2_TOO_LONG = 176,
  IDS_NUMBER_OUT_OF_RANGE = 177,
  IDS_NUMBER_IN_USE = 178,
  IDS_NUMBER_MISSING = 180,
  IDS_PHONE3_TOO_LONG = 211,
  IDS_GROUP_OUT_OF_RANGE = 213,
  IDS_GROUP_NOT_DIGITS = 214,
  IDS_READING_MISSING = 215,
  IDS_NAME_MISSING = 216,
  IDS_PHONE_MISSING = 61215,

  // Entry dialog
  IDS_MEMORY_FULL_CAPTION = 181, // メモリ番号の確認
  IDS_MEMORY_FULL = 182,

  // CSV import
  IDS_IMPORT_CAPTION = 185,
  IDS_DUPLICATE_MESSAGE = 186,
  IDS_METHOD_GUIDE = 187,
  IDS_IMPORTED_DATA = 188,
  IDS_METHOD_GROUP = 189,
  IDS_CONFIRM_IMPORT_CAPTION = 190,
  IDS_CONFIRM_IMPORT = 191,      // follows the file's name
  IDS_IMPORT_OPEN_CAPTION = 192,
  IDS_IMPORT_OPEN_FAILED = 193,
  IDS_REGISTER_CAPTION = 194,    // データの登録
  IDS_IMPORT_LIMIT = 195,
  IDS_IMPORT_DONE_CAPTION = 196,
  IDS_IMPORT_DONE = 197,

  // Clipboard paste
  IDS_PASTE_LIMIT_CAPTION = 203, // データの登録
  IDS_PASTE_LIMIT = 204,
  IDS_PASTE_REFUSED_CAPTION = 205,
  IDS_PASTE_REFUSED = 206,

  // A temporary store that could not be written (a full or failing work folder)
  IDS_STORE_WRITE_FAILED_DETAIL = 230,  // %1 the folder
  IDS_IMPORT_STORE_FAILED = 231,
  IDS_PASTE_STORE_FAILED = 232,

  // A work folder that cannot be used: the line (%1 the folder, %2 the reason), the reasons
  IDS_UNUSABLE_FOLDER = 240,
  IDS_FOLDER_NO_PARENT = 241,
  IDS_FOLDER_NOT_WRITABLE = 242,
  IDS_FOLDER_OTHER_OWNER = 243,
  IDS_FOLDER_SYMLINK = 244,
  IDS_FOLDER_NOT_A_FOLDER = 245,
  IDS_FOLDER_NOT_PRIVATE = 246,
  IDS_FOLDER_OTHER_ERROR = 247,
  // A save target that is not a file (%1 the path)
  IDS_TARGET_NOT_A_FILE = 248,

  // Saving over a file (%1 the path): another program changed it since it was opened or
  // saved (a question); its owner, group or ACL cannot be kept (a question in the editor, a
  // refusal elsewhere); the folder could not be synced after the file was replaced
  IDS_FILE_CHANGED_ELSEWHERE = 260,
  IDS_ASK_CHANGE_OWNER = 261,
  IDS_KEEPS_NO_OWNER = 262,
  IDS_SAVE_NOT_DURABLE = 263,

  // Rows an import or a paste could not read (%1 how many)
  IDS_IMPORT_ROWS_NOT_READ = 250,
  IDS_PASTE_SKIPPED_CAPTION = 251,  // データの貼り付け
  IDS_PASTE_ROWS_SKIPPED = 252,

  // Why a file could not be read, after the framework's read failure text
  IDS_FILE_CHANGED_WHILE_READ = 270,
  // A list the store could not give whole
  IDS_LIST_READ_FAILED = 271,

  // Undo and redo: the menu words (also the captions of their failures), the steps' names
  IDS_UNDO = 280,                // 元に戻す
  IDS_UNDO_STEP = 281,           // 元に戻す - %1 (the step's name)
  IDS_REDO = 282,                // やり直し
  IDS_REDO_STEP = 283,           // やり直し - %1
  IDS_STEP_ADD = 284,
  IDS_STEP_EDIT = 285,
  IDS_STEP_DELETE = 286,
  IDS_STEP_DELETE_ALL = 287,
  IDS_STEP_CUT = 288,
  IDS_STEP_PASTE = 289,
  IDS_STEP_IMPORT = 290,
  IDS_STEP_DOWNLOAD = 291,
  IDS_UNDO_FAILED = 292,
  IDS_REDO_FAILED = 293,
  IDS_HISTORY_OUT_OF_STEP = 294, // follows 292 or 293
  IDS_STEP_FILL_READINGS = 295,

  // Find
  IDS_FIND_LABEL = 300,          // the search field's label
  IDS_FIND_PLACEHOLDER = 301,    // what the empty field says it searches
  IDS_FIND_MATCHES = 302,        // %1 the number of matching entries
  IDS_FIND_NO_MATCH = 303,       // also the tooltip of a kana tab without a match
  IDS_FIND_CLOSE = 304,          // the button that closes the search field
  IDS_FIND_FIELD_NAME = 305,     // the search field's accessible name
  IDS_FIND_CLEAR = 306,          // the button inside the field that empties it

  // vCard import and export
  IDS_VCARD_IMPORT_DONE = 400,
  IDS_VCARD_TOO_LARGE = 401,
  IDS_VCARD_NOT_VCARD = 402,
  IDS_VCARD_MISSING_END = 403,
  IDS_VCARD_MALFORMED = 404,
  IDS_VCARD_STORE_FAILED = 405,
  IDS_VCARD_TOO_MANY_CARDS = 406,
  IDS_VCARD_TOO_MANY_ITEMS = 407,
  IDS_VCARD_OUT_OF_MEMORY = 408,
  IDS_VCARD_ADDED_LINE = 410,
  IDS_VCARD_SKIPPED_LINE = 411,
  IDS_VCARD_NO_PHONE_LINE = 412,
  IDS_VCARD_FULL_LINE = 413,
  IDS_VCARD_SHORTENED_LINE = 414,
  IDS_VCARD_LOST_CHARACTERS_LINE = 415,
  IDS_VCARD_EXTRA_PHONES_LINE = 416,
  IDS_VCARD_CARD_LINE = 417,
  IDS_VCARD_OVERWRITTEN_LINE = 418,
  IDS_VCARD_DUPLICATE_MESSAGE = 419,
  IDS_VCARD_IMPORT_FILTER = 420,
  IDS_VCARD_30_FILTER = 421,
  IDS_VCARD_21_FILTER = 422,
  IDS_EXPORT_DONE_CAPTION = 423,
  IDS_EXPORT_DONE = 424,
  // vCard in the editor: the duplicate dialog, the export's save dialog and closing line
  IDS_VCARD_IMPORT_CAPTION = 425,
  IDS_VCARD_STORED_NUMBER_LABEL = 426,
  IDS_EXPORT_ALL_TITLE = 427,        // %1 the number of entries
  IDS_EXPORT_SELECTED_TITLE = 428,   // %1 the number of selected entries
  IDS_EXPORT_ALL_DONE = 429,         // %1 the number of entries
  IDS_EXPORT_SELECTED_DONE = 430,    // %1 the number of selected entries
  IDS_IMPORT_ANY_FILTER = 431,       // the import's first file type: both kinds

  // Readings suggested from the dictionary: the entry dialog's button, the fill preview,
  // the CLI's table
  IDS_READING_CAPTION = 440,         // 読みの候補
  IDS_READING_NO_DICTIONARY = 441,
  IDS_READING_SUGGEST_BUTTON = 442,
  IDS_READING_NO_SUGGESTION = 443,
  IDS_READING_FILL_CAPTION = 444,    // 読みの一括入力
  IDS_READING_FILL_NOTE = 445,       // %1 the number of entries listed
  IDS_READING_FILL_CHECK_ALL = 446,
  IDS_READING_FILL_CHECK_NONE = 447,
  IDS_READING_FILL_COLUMN_FILL = 448,
  IDS_READING_FILL_COLUMN_NEW = 449,
  IDS_READING_FILL_COLUMN_OLD = 450,
  IDS_READING_UNREAD_NAMES = 451,    // %1 the number of names without a suggestion
  IDS_READING_NOTHING_TO_FILL = 452,
  IDS_READING_UNREAD_HINT = 453,     // %1 the number of entries without a reading

  // The handset's phonebook backed up before an upload: the backup, the preview of what the
  // upload changes, the restore
  IDS_BACKUP_CAPTION = 470,          // 端末の電話帳のバックアップ
  IDS_BACKUP_WRITE_FAILED = 471,
  IDS_BACKUP_NOT_TAKEN_NOTE = 472,   // follows a failed backup download's text
  IDS_BACKUP_HOLDS_PHONEBOOK = 473,  // follows a failed upload's text; %1 the backup's name
  IDS_BACKUP_PROGRESS_TITLE = 474,
  IDS_PREVIEW_INTRO = 475,           // %1 the handset's entries now
  IDS_PREVIEW_ADDED = 476,           // %1 how many, as are the counts below
  IDS_PREVIEW_CHANGED = 477,
  IDS_PREVIEW_REMOVED = 478,
  IDS_PREVIEW_UNCHANGED = 479,
  IDS_PREVIEW_TOTAL = 480,
  IDS_PREVIEW_MANY_REMOVED = 481,
  IDS_PREVIEW_BACKUP = 482,          // %1 the backup's name
  IDS_PREVIEW_UPLOAD_BUTTON = 483,
  IDS_PREVIEW_CANCEL_BUTTON = 484,
  IDS_PREVIEW_TAB_ADDED = 485,       // %1 how many
  IDS_PREVIEW_TAB_CHANGED = 486,
  IDS_PREVIEW_TAB_REMOVED = 487,
  IDS_FIELD_NUMBER = 488,            // the fields, as column titles and in a change's list
  IDS_FIELD_NAME = 489,
  IDS_FIELD_READING = 490,
  IDS_FIELD_PHONE1 = 491,
  IDS_FIELD_PHONE2 = 492,
  IDS_FIELD_PHONE3 = 493,
  IDS_FIELD_GROUP = 494,
  IDS_COLUMN_CHANGED_FIELDS = 495,
  IDS_COLUMN_BEFORE = 496,
  IDS_COLUMN_AFTER = 497,
  IDS_PREVIEW_QUESTION = 500,        // the command line's question
  IDS_PREVIEW_NO_TERMINAL = 501,
  IDS_UPLOAD_CANCELLED = 502,
  IDS_CHANGE_ADDED = 503,            // a line of the command line's list: 追加, 変更, 削除
  IDS_CHANGE_CHANGED = 504,
  IDS_CHANGE_REMOVED = 505,
  IDS_RESTORE_CAPTION = 506,         // 端末のバックアップから復元
  IDS_RESTORE_GUIDE = 507,
  IDS_RESTORE_NONE = 508,
  IDS_RESTORE_FOLDER = 509,          // %1 the folder
  IDS_COLUMN_DATE = 510,
  IDS_COLUMN_ENTRIES = 511,
  IDS_COLUMN_SOURCE = 512,
  IDS_COLUMN_FILE = 513,
  IDS_RESTORE_OPEN = 514,
  IDS_RESTORE_UPLOAD = 515,
  IDS_ENTRY_COUNT = 516,             // %1 how many entries
  IDS_BACKUP_UNREADABLE = 517,       // a backup's entries where the file cannot be read
  IDS_RESTORE_LIST_NAME = 518,       // the list's accessible name
  IDS_SETTING_NOT_SAVED = 519,       // caption IDS_APP_TITLE
  IDS_LINK_TRACE_FAILED = 520,       // caption IDS_APP_TITLE; %1: the file and why

  // The framework's texts around documents
  AFX_IDS_OPENFILE = 61440,
  AFX_IDS_SAVEFILE = 61441,
  AFX_IDS_ALLFILTER = 61442,
  AFX_IDP_FAILED_TO_OPEN_DOC = 61697,
  AFX_IDP_FAILED_TO_SAVE_DOC = 61698,
  AFX_IDP_ASK_TO_SAVE = 61699,
  AFX_IDP_FILE_NOT_FOUND = 61729,
  AFX_IDP_FILE_SHARING_READ = 61731,
  AFX_IDP_FILE_SHARING_WRITE = 61732,
  AFX_IDP_FILE_READ_ERROR = 61733,
  AFX_IDP_FILE_WRITE_ERROR = 61734,
};
