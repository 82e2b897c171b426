// One open phonebook: its store of entries, the second store instance that holds a slot,
// its undo history, its title, file path and modified flag, and the steps that open, save
// and close it. Its transfer session and its import and export have rooms of their own.
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>

#include "ui/CommandHandlers.h"
#include "doc/PhonebookHistory.h"
#include "files/DocumentFile.h"
#include "phonebook/DbPhoneCtrl.h"
#include "platform/FileIdentity.h"

class CDocumentExchange;
class CDocumentTransfer;
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
  // The transfer session with the handset (DocumentTransfer.h).
  CDocumentTransfer& Transfer() const { return *m_pTransfer; }

  // The import and export commands (DocumentExchange.h).
  CDocumentExchange& Exchange() const { return *m_pExchange; }

  // Asks every view to refill its list from the store (after an import).
  void UpdateAllViews() { emit updateViews(); }

  // The document's commands: close, save, save as, import.
  ICommandTarget& Commands() { return m_commands; }

  // The phonebook's window is closing (it asked to save and was not held back): a
  // running transfer ends now, and nothing of it reports to the window any more.
  void OnCloseDocument();

  // Command handlers.
  void OnFileClose() { emit closeRequested(); }

 signals:
  void titleChanged();
  void modifiedChanged(bool modified);
  void updateViews();
  void closeRequested();
  // From OnCloseDocument, after the transfer has ended.
  void documentClosing();
  // An import added entries (or overwrote them) and the views show them.
  void entriesArrived();

 private:
  // Writes the phonebook to `localPath` (shown as `path`), asking first whether to let the
  // file's owner change where the system would not let the save keep it.
  DocumentSaveResult SaveAskingForOwner(const QString& path, const std::string& localPath);
  // Whether `localPath` is the file this document last read or wrote and another program has
  // changed it since.
  bool ChangedElsewhere(const std::string& localPath) const;
  void ShowModified(bool modified);

  CCommandHandlers m_commands;             // see Commands
  CDbPhoneCtrl m_store;                    // the entries
  CPhonebookHistory m_history;             // the steps that changed them
  std::unique_ptr<CDocumentTransfer> m_pTransfer;  // goes before the store
  std::unique_ptr<CDocumentExchange> m_pExchange;
  CDbPhoneCtrl m_slotHolder;               // never used for data; holds a store slot
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
