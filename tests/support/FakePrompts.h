// A stand-in for the editor's message boxes and dialogs: records every message and answers
// from queues the test fills, so no test waits on a modal window.
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "ui/UserPrompts.h"

class FakePrompts : public IUserPrompts {
 public:
  using DialogScript = std::function<int(QDialog&)>;

  FakePrompts() { SetPrompts(this); }
  ~FakePrompts() override { SetPrompts(nullptr); }

  PromptAnswer ShowMessage(const MessageRequest& request) override {
    messages.push_back(request);
    if (answers.empty()) return request.defaultButton;
    const PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  QStringList AskOpenFiles(const FileDialogRequest& request) override {
    fileDialogs.push_back(request);
    return openAnswer;
  }

  QString AskSaveFile(const FileDialogRequest& request, int* chosenFilter) override {
    fileDialogs.push_back(request);
    if (chosenFilter) *chosenFilter = saveFilterAnswer;
    return saveAnswer;
  }

  // Runs the next script on the dialog (it may type, click and read); without one the
  // dialog is cancelled.
  int RunDialog(QDialog& dialog) override {
    ++dialogsRun;
    if (dialogScripts.empty()) return QDialog::Rejected;
    DialogScript script = std::move(dialogScripts.front());
    dialogScripts.pop_front();
    dialog.show();
    const int result = script(dialog);
    dialog.hide();
    return result;
  }

  // The last message; an empty one when none was shown.
  const MessageRequest& Last() const {
    static const MessageRequest none;
    return messages.empty() ? none : messages.back();
  }
  void Clear() { messages.clear(); }

  std::vector<MessageRequest> messages;
  std::deque<PromptAnswer> answers;        // next answers; the default button when empty
  std::vector<FileDialogRequest> fileDialogs;
  QStringList openAnswer;
  QString saveAnswer;
  int saveFilterAnswer = 0;                // the file type chosen in a save dialog
  std::deque<DialogScript> dialogScripts;
  int dialogsRun = 0;
};
