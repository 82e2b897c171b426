// The messages of a phonebook's file and store work, shared by its document and its view:
// files that could not be read or written, a store that could not be written or has no
// slot, and the one message that closes an import or a paste.
#pragma once

#include <QString>

class CDbPhoneCtrl;
class QWidget;
struct ImportSummary;

// A file that could not be read or written: the framework's text `textId` naming `path`,
// and after a blank line why, when `cause` is given.
void ShowFileError(int textId, const QString& path, const QString& cause = {});
// A file that could not be read: the framework's text for `error` and its cause.
void ShowReadError(const QString& path, int error);
// A save that failed with `error`: its text, then the system's reason when there is one.
void ShowWriteFailure(const QString& path, int error);
// A refusal for want of a store slot; when an unusable folder is the reason, a paragraph
// naming the folder and what is wrong with it follows the text.
void ShowNoSlotRefusal(const CDbPhoneCtrl& store, const QString& caption, QString text);

// A failure message whose text is followed, after a blank line, by why the phonebook's
// temporary store could not be written (its folder and the system's reason).
void ShowStoreFailure(QWidget* owner, const QString& caption, const QString& text,
                      const CDbPhoneCtrl& store, int error);

// Tells how an import of the file at `path`, or a paste, ended (nothing when a paste went
// as asked). A vCard file's cards are listed under the message, shown on request.
void ShowImportResult(QWidget* owner, const ImportSummary& summary, const QString& path,
                      const CDbPhoneCtrl& store);
