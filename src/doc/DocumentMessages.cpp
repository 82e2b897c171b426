// Framework messages carry the program's title as caption and the exclamation icon; an
// import's come from the summary it left.
#include "doc/DocumentMessages.h"

#include "files/FailureText.h"
#include "files/ImportSummary.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "strings/StringIds.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"

namespace {

// The cards each count of a vCard import's summary names, shown below the message on
// request, so that a long list does not stretch the message box. Empty when no card is
// named.
QString CardList(const ImportSummary& summary) {
  std::string listed = ImportMessageText(summary, true);
  if (listed == ImportMessageText(summary, false)) return {};
  // The message's own text is already above; the list starts at the counts.
  const std::string_view headline = StringText(MessageOfImport(summary).textId);
  if (listed.starts_with(headline)) listed.erase(0, headline.size());
  while (listed.starts_with("\r\n")) listed.erase(0, 2);
  return QString::fromStdString(listed);
}

}  // namespace

void ShowFileError(int textId, const QString& path, const QString& cause) {
  QString text = Text(textId).arg(path);
  if (!cause.isEmpty()) text += QStringLiteral("\r\n\r\n") + cause;
  ShowMessage(nullptr, Text(IDR_MAINFRAME), text, MessageIcon::Warning);
}

void ShowReadError(const QString& path, int error) {
  ShowFileError(ReadFailureTextId(error), path, QString::fromStdString(ReadFailureCause(error)));
}

void ShowWriteFailure(const QString& path, int error) {
  const std::string reason = WriteFailureReason(error);
  ShowFileError(WriteFailureTextId(error), path,
                reason.empty() ? QString() : path + QStringLiteral(": ") + QString::fromLocal8Bit(reason));
}

void ShowStoreFailure(QWidget* owner, const QString& caption, const QString& text,
                      const CDbPhoneCtrl& store, int error) {
  const QString detail = QString::fromStdString(StoreFailureDetail(store, error));
  ShowMessage(owner, caption, text + QStringLiteral("\r\n\r\n") + detail, MessageIcon::Error);
}

void ShowNoSlotRefusal(const CDbPhoneCtrl& store, const QString& caption, QString text) {
  const std::string folder = UnusableFolderText(store.Environment().Trouble());
  if (!folder.empty()) text += "\r\n\r\n" + QString::fromStdString(folder);
  ShowMessage(nullptr, caption, text, MessageIcon::Warning);
}

void ShowImportResult(QWidget* owner, const ImportSummary& summary, const QString& path,
                      const CDbPhoneCtrl& store) {
  const ImportMessage message = MessageOfImport(summary);
  MessageRequest request;
  request.owner = owner;
  request.caption = Text(message.captionId);
  request.text = QString::fromStdString(ImportMessageText(summary, false));
  request.icon = message.icon;
  switch (summary.result) {
    case ImportResult::ReadFailed:  // nothing of the file is kept
      return ShowReadError(path, summary.osError);
    case ImportResult::StoreFailed:  // the phonebook is as it was
      return ShowStoreFailure(owner, request.caption, request.text, store, summary.storeError);
    case ImportResult::OpenFailed:  // not opened, or not read whole
      request.text += QStringLiteral("\r\n\r\n") + QString::fromStdString(ReadFailureCause(summary.osError));
      break;
    default:
      break;
  }
  if (request.text.isEmpty()) return;
  request.details = CardList(summary);
  Prompts().ShowMessage(request);
}
