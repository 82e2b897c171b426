// The real message boxes and file dialogs of the editor (Qt's, in Japanese).
#include "ui/UserPrompts.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

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

// The window a prompt without an owner belongs to: the program's main window, as a Windows
// program's owner-less dialog gets it. The prompt then opens over it rather than in the
// middle of the screen, and stays with it. Not the active window: that may be a progress
// window that closes, and would take the prompt with it, while the prompt is still up.
QWidget* OwnerOrMainWindow(QWidget* owner) {
  if (owner) return owner;
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->isVisible() && qobject_cast<QMainWindow*>(window)) return window;
  return nullptr;
}

// The widest line of `text` in `metrics`.
int WidestLine(const QFontMetrics& metrics, const QString& text) {
  int widest = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    widest = std::max(widest, metrics.horizontalAdvance(line));
  return widest;
}

// Qt breaks a message wider than 500 pixels at any character of Japanese text, and its
// details at the width of the box, which leaves a word or a count alone on a line. Every
// line of the text and of the details keeps whole while the widest box Qt allows on the
// screen has room for it.
void KeepLinesWhole(QMessageBox& box, const QScreen* screen) {
  const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
  const int widestBox = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
  const int room = widestBox - 160;  // less the icon and the margins
  if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
    label->setMinimumWidth(std::min(WidestLine(label->fontMetrics(), label->text()) + 2, room));
  if (auto* details = box.findChild<QTextEdit*>()) {
    const int edges = 2 * details->frameWidth() +
                      2 * static_cast<int>(details->document()->documentMargin()) +
                      details->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    details->setMinimumWidth(
        std::min(WidestLine(details->fontMetrics(), details->toPlainText()) + edges, room));
  }
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
    QWidget* owner = OwnerOrMainWindow(request.owner);
    QMessageBox box(ToQtIcon(request.icon), request.caption, text, buttons, owner);
    if (!request.details.isEmpty()) {
      QString details = request.details;
      box.setDetailedText(details.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    }
    KeepLinesWhole(box, owner ? owner->screen() : QGuiApplication::primaryScreen());
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
    QFileDialog dialog(OwnerOrMainWindow(request.owner), request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters(request.filters);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
  }

  QString AskSaveFile(const FileDialogRequest& request, int* chosenFilter) override {
    QFileDialog dialog(OwnerOrMainWindow(request.owner), request.title, request.suggestedPath);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.suggestedPath.isEmpty()) dialog.selectFile(request.suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    if (chosenFilter) *chosenFilter = std::max(0, int(request.filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().first();
  }

  int RunDialog(QDialog& dialog) override {
    // A dialog made without an owner is lent the main window for as long as it runs, and
    // given back its own standing after: its maker still owns and deletes it.
    QWidget* owner = dialog.parentWidget() ? nullptr : OwnerOrMainWindow(nullptr);
    if (owner) dialog.setParent(owner, dialog.windowFlags());
    const int result = dialog.exec();
    if (owner) dialog.setParent(nullptr, dialog.windowFlags());
    return result;
  }
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
