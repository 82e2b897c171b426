// One open phonebook: its store of entries, the second store instance that holds a slot,
// its undo history, the transfer buffer, its title, file path and modified flag, and the
// steps that open, save and close it.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/CommandHandlers.h"
#include "comm/TransferSession.h"
#include "comm/TransferTiming.h"
#include "doc/PhonebookHistory.h"
#include "files/DocumentFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/PhonebookImage.h"
#include "platform/FileIdentity.h"

class CCommNotifyPoster;
class CWaitNotice;
class StoreEnvironment;

class CUtilityDoc : public QObject {
  Q_OBJECT

 public:
  explicit CUtilityDoc(StoreEnvironment& environment, QObject* parent = nullptr);
  ~CUtilityDoc() override;

  // Creation steps: false when the document cannot be made (the caller discards it).
  bool OnNewDocument();
  bool OnOpenDocument(const QString& path);
  // Writes the phonebook to `path`; false (after the message) when it could not.
  bool OnSaveDocument(const QString& path);

  // Saves to `path`, or asks for a path when it is empty; on success the document takes
  // the path and its name as title and is no longer modified.
  bool DoSave(const QString& path);
  bool DoFileSave();
  // Before closing: asks to save a modified phonebook. False when the user cancelled or
  // the save failed, so the window stays.
  bool SaveModified();

  // The modified flag follows the undo history: undoing back to the saved phonebook clears
  // it. Clearing it marks the phonebook as it is now as the saved one; setting it holds
  // until the history next arrives at or leaves the saved phonebook.
  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool modified = true);
  const QString& GetTitle() const { return m_strTitle; }
  void SetTitle(const QString& title);
  const QString& GetPathName() const { return m_strPathName; }
  void SetPathName(const QString& path);

  CDbPhoneCtrl& Store() { return m_store; }

  // Makes the store's changes from here to the end of the caller's scope one undoable step
  // named by string `nameId` (a step inside another belongs to the outer one):
  //   const auto step = doc.BeginStep(IDS_STEP_DELETE);
  CPhonebookHistory::Step BeginStep(int nameId);
  CPhonebookHistory& History() { return m_history; }
  // The image the last download received or the last upload sent; read it only after
  // the transfer's finished notification.
  const PhonebookImage& Image() const { return m_pSession->Image(); }

  // The transfer session (UtilityDocTransfer.cpp). StartSession wakes the handset with
  // the wait notice up and returns the session's result; on 0 the transfer runs and its
  // progress and end reach `SetNotifyTarget`'s view as WM_COMM_NOTIFY events.
  int StartSession(bool bDownload);
  // Ends the transfer thread, sends the end-of-link frame and closes the port.
  void EndSession();
  // Raises the abort signal, which the transfer tests between blocks.
  void AbortTransfer();
  // From the start of a session to its end: a second one is refused meanwhile.
  bool IsTransferBusy() const { return m_bSessionOpen; }
  // The last session was an upload that told the handset to clear its phonebook.
  bool HandsetPhonebookAtRisk() const { return m_pSession->HandsetPhonebookAtRisk(); }
  // The port of the last session (empty when no handset was found).
  const std::string& SessionPortName() const { return m_pSession->PortName(); }
  // The blocking steps of a session (its start with the wake-up, its end, the restart
  // after an upload) run off the user-interface thread while the event loop turns, and
  // use the session, the store and the view's controller meanwhile. Until such a step has
  // returned nothing may close or change the phonebook: the command router holds back its
  // commands and the application's exit, and its window refuses to close.
  bool IsSessionStepRunning() const { return m_nSessionSteps > 0; }
  int RunSessionStep(const std::function<int()>& step);
  void SetNotifyTarget(QObject* view);
  CWaitNotice& WaitNotice() { return *m_pWaitNotice; }
  const TransferTiming& Timing() const { return m_timing; }
  // The pauses of sessions of documents made from now on (tests shorten them).
  static void SetTransferTimingForNewDocuments(const TransferTiming& timing);

  // Asks every view to refill its list from the store (after an import).
  void UpdateAllViews() { emit updateViews(); }

  // The document's commands: close, save, save as, import.
  ICommandTarget& Commands() { return m_commands; }

  // The phonebook's window is closing (it asked to save and was not held back): a
  // running transfer ends now, and nothing of it reports to the window any more.
  void OnCloseDocument();

  // Command handlers.
  void OnFileClose() { emit closeRequested(); }
  void OnFileImport();
  // Writes the entries with the memory numbers `selected` (all when empty) to a vCard
  // file of the version the save dialog's file type names (UtilityDocExport.cpp).
  void OnFileExport(const std::vector<int>& selected = {});

 signals:
  void titleChanged();
  void modifiedChanged(bool modified);
  void updateViews();
  void closeRequested();
  // From OnCloseDocument, after the transfer has ended.
  void documentClosing();
  // A session started or ended.
  void transferStateChanged();
  // An import added entries (or overwrote them) and the views show them.
  void entriesArrived();

 private:
  static TransferTiming TimingForNewDocuments();
  // A file that could not be read or written: the framework's text `textId` naming `path`,
  // and after a blank line why, when `cause` is given.
  static void ShowFileError(int textId, const QString& path, const QString& cause = {});
  // A file that could not be read: the framework's text for `error` and its cause.
  static void ShowReadError(const QString& path, int error);
  // A save that failed with `error`: its text, then the system's reason when there is one.
  static void ShowWriteFailure(const QString& path, int error);
  // Writes the phonebook to `localPath` (shown as `path`), asking first whether to let the
  // file's owner change where the system would not let the save keep it.
  DocumentSaveResult SaveAskingForOwner(const QString& path, const std::string& localPath);
  // Whether `localPath` is the file this document last read or wrote and another program has
  // changed it since.
  bool ChangedElsewhere(const std::string& localPath) const;
  // The import of a file the user chose and confirmed, by its kind.
  void ImportCsv(const std::string& path);
  void ImportVcard(const std::string& path);
  // A closing phonebook ends its running transfer before its store goes.
  void EndTransferOnClose();
  void ShowModified(bool modified);

  CCommandHandlers m_commands;             // see Commands
  CDbPhoneCtrl m_store;                    // the entries
  CPhonebookHistory m_history;             // the steps that changed them
  CCommNotifyPoster* m_pPoster;            // child: carries the session's notifications
  CWaitNotice* m_pWaitNotice;              // child: the wake-up notice
  const TransferTiming m_timing;           // the session's pauses
  // The handset controller, the 120000-byte image buffer and the transfer thread.
  std::unique_ptr<CTransferSession> m_pSession;
  CDbPhoneCtrl m_slotHolder;               // never used for data; holds a store slot
  bool m_bSessionOpen = false;             // between StartSession and EndSession
  int m_nSessionSteps = 0;                 // blocking steps of the session running now
  bool m_bCsvFile = false;                 // the last open or save path ends in ".csv"
  bool m_bLoadSucceeded = false;           // the last load read a valid phonebook
  bool m_bModified = false;
  QString m_strTitle;
  QString m_strPathName;
  // The file as this document last read or wrote it (its absolute path and identity), so
  // that a save over it can tell when another program has changed it meanwhile.
  struct KnownFile {
    std::string path;
    platform::FileIdentity identity;
  };
  std::optional<KnownFile> m_knownFile;
};
