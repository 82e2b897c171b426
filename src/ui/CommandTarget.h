// Command routing: the main window asks the one target that the command table names for a
// command (the active phonebook's view or document, the main window, the application);
// that target decides whether it is enabled, checked or shown with other words, and runs it.
#pragma once

#include <QString>

struct CommandState {
  bool enabled = false;
  bool checked = false;  // a check mark, or a pressed toolbar button
  bool radio = false;    // the mark is a radio dot rather than a check
  QString label;         // when not empty: the command's words for now ("元に戻す - 削除"),
                         // in place of the menu item's words and the button's tooltip
};

class ICommandTarget {
 public:
  virtual ~ICommandTarget() = default;
  // True when this target handles `id`; `state` then holds its state.
  virtual bool OnUpdateCommand(int id, CommandState& state) = 0;
  // True when this target handled `id`.
  virtual bool OnCommand(int id) = 0;
};
