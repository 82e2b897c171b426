// The real message boxes and file dialogs of the editor (Qt's, in Japanese).
#include "ui/UserPrompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>


namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ToQtButton(PromptAnswer answer) {
  switch (answer) {
    case PromptAnswer::Ok: return QMessageBox::Ok;
    case PromptAnswer::Cancel: return QMessageBox::Cancel;
    case PromptAnswer::Yes: return QMessageBox::Yes;
    case PromptAnswer::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

class QtUserPrompts : public IUserPrompts {
 public:
  PromptAnswer ShowMessage(const MessageRequest& request) override {
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    if (request.buttons == PromptButtons::OkCancel) buttons = QMessageBox::Ok | QMessageBox::Cancel;
    if (request.buttons == PromptButtons::YesNo) buttons = QMessageBox::Yes | QMessageBox::No;
    if (request.buttons == PromptButtons::YesNoCancel)
      buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(ToQtIcon(request.icon), request.caption, text, buttons, request.owner);
    if (!request.details.isEmpty()) {
      QString details = request.details;
      box.setDetailedText(details.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
    box.setDefaultButton(ToQtButton(request.defaultButton));
    box.setEscapeButton(request.buttons == PromptButtons::Ok      ? QMessageBox::Ok
                        : request.buttons == PromptButtons::YesNo ? QMessageBox::No
                                                                  : QMessageBox::Cancel);
    switch (box.exec()) {
      case QMessageBox::Yes: return PromptAnswer::Yes;
      case QMessageBox::No: return PromptAnswer::No;
      case QMessageBox::Cancel: return PromptAnswer::Cancel;
      default: return PromptAnswer::Ok;
    }
  }

  QStringList AskOpenFiles(const FileDialogRequest& request) override {
    QFileDialog dialog(request.owner, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(request.filters);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
  }

  QString AskSaveFile(const FileDialogRequest& request, int* chosenFilter) override {
    QFileDialog dialog(request.owner, request.title, request.suggestedPath);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.suggestedPath.isEmpty()) dialog.selectFile(request.suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (chosenFilter) *chosenFilter = std::max(0, int(request.filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().first();
  }

  int RunDialog(QDialog& dialog) override { return dialog.exec(); }
};

IUserPrompts* g_pInstalled = nullptr;

}  // namespace

IUserPrompts& Prompts() {
  static QtUserPrompts real;
  return g_pInstalled ? *g_pInstalled : real;
}

void SetPrompts(IUserPrompts* prompts) { g_pInstalled = prompts; }

PromptAnswer ShowMessage(QWidget* owner, const QString& caption, const QString& text,
                         MessageIcon icon) {
  MessageRequest request;
  request.owner = owner;
  request.caption = caption;
  request.text = text;
  request.icon = icon;
  return Prompts().ShowMessage(request);
}

namespace {

// Asks with `buttons`; true when the answer was `yes` (`no` the default).
bool Confirm(QWidget* owner, const QString& caption, const QString& text, PromptButtons buttons,
             PromptAnswer yes, PromptAnswer no) {
  MessageRequest request;
  request.owner = owner;
  request.caption = caption;
  request.text = text;
  request.icon = MessageIcon::Question;
  request.buttons = buttons;
  request.defaultButton = no;
  return Prompts().ShowMessage(request) == yes;
}

}  // namespace

bool ConfirmOkCancel(QWidget* owner, const QString& caption, const QString& text) {
  return Confirm(owner, caption, text, PromptButtons::OkCancel, PromptAnswer::Ok, PromptAnswer::Cancel);
}

bool ConfirmYesNo(QWidget* owner, const QString& caption, const QString& text) {
  return Confirm(owner, caption, text, PromptButtons::YesNo, PromptAnswer::Yes, PromptAnswer::No);
}
