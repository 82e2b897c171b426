// Every message box, file dialog and modal dialog of the editor goes through IUserPrompts,
// so that tests can answer them without a modal window blocking the test.
#pragma once

#include <QString>
#include <QStringList>

#include "strings/StringTable.h"

class QDialog;
class QWidget;

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct MessageRequest {
  QWidget* owner = nullptr;          // null: no owner window
  QString caption;
  QString text;                      // line breaks as in the resources ("\r\n")
  QString details;                   // shown on request below the text; none when empty
  MessageIcon icon = MessageIcon::None;
  PromptButtons buttons = PromptButtons::Ok;
  PromptAnswer defaultButton = PromptAnswer::Ok;
};

struct FileDialogRequest {
  QWidget* owner = nullptr;
  QString title;
  QStringList filters;               // "name (*.ext)" entries, the first preselected
  QString suggestedPath;             // save dialogs: the proposed file
  QString defaultSuffix;             // save dialogs: added when the name has none ("csv")
};

class IUserPrompts {
 public:
  virtual ~IUserPrompts() = default;
  virtual PromptAnswer ShowMessage(const MessageRequest& request) = 0;
  // The chosen files; empty when cancelled.
  virtual QStringList AskOpenFiles(const FileDialogRequest& request) = 0;
  // The chosen file; empty when cancelled. `chosenFilter`, when given, receives the index
  // in `request.filters` of the file type the user chose.
  virtual QString AskSaveFile(const FileDialogRequest& request, int* chosenFilter = nullptr) = 0;
  // Runs a modal dialog and returns its result (QDialog::Accepted or Rejected).
  virtual int RunDialog(QDialog& dialog) = 0;
};

// The prompts in use: the real windows unless a test installed its own.
IUserPrompts& Prompts();
// Installs `prompts` (not owned); null restores the real windows.
void SetPrompts(IUserPrompts* prompts);

// Shorthand for a message box with only an OK button.
PromptAnswer ShowMessage(QWidget* owner, const QString& caption, const QString& text,
                         MessageIcon icon);

// A question before something that cannot be taken back: OK and Cancel, Cancel the
// default. True when the user chose OK.
bool ConfirmOkCancel(QWidget* owner, const QString& caption, const QString& text);
// A question whose safe answer is no: Yes and No, No the default (and Escape's). True when
// the user chose Yes.
bool ConfirmYesNo(QWidget* owner, const QString& caption, const QString& text);
