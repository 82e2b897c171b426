// Every command of the editor, each once: which target handles it, its words in the menus
// and the keys that give it. The main window makes its menus, toolbar buttons, shortcuts
// and routing from this table; each target binds the handlers of its own commands.
#pragma once

#include <QKeySequence>

#include <vector>

// The one target the main window asks about a command.
enum class CommandTarget {
  None,                 // shown, but never enabled
  View,                 // the active phonebook's view
  Document,             // the active phonebook's document
  MainWindow,
  Application,
  ViewElseApplication,  // the active phonebook's view; the application while none is open
};

struct CommandDef {
  int id;
  CommandTarget target;
  const char* text;               // menu words (UTF-8), "&" mnemonic, "\t" before the shortcut
  std::vector<QKeySequence> keys;  // the shortcuts that run it
  bool choice = false;            // one of a choice: a radio dot in the menus, and a
                                  // toolbar button that stays pressed while it holds
};

const std::vector<CommandDef>& CommandTable();

// The row of `id`; for an id the table lacks, a row without words or target.
const CommandDef& CommandOf(int id);
