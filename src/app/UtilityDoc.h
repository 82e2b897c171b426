// One open phonebook: its store of entries, the second store instance that holds a slot,
// the transfer buffer, its title, file path and modified flag, and the steps that open,
// save and close it.
#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "app/CommandTarget.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/PhonebookImage.h"

class StoreEnvironment;

class CUtilityDoc : public QObject, public ICommandTarget {
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

  bool IsModified() const { return m_bModified; }
  void SetModifiedFlag(bool modified = true);
  const QString& GetTitle() const { return m_strTitle; }
  void SetTitle(const QString& title);
  const QString& GetPathName() const { return m_strPathName; }
  void SetPathName(const QString& path);

  CDbPhoneCtrl& Store() { return m_store; }
  PhonebookImage& Image() { return *m_pImage; }

  // Asks every view to refill its list from the store (after an import).
  void UpdateAllViews() { emit updateViews(); }

  bool OnUpdateCommand(int id, CommandState& state) override;
  bool OnCommand(int id) override;

  // Command handlers.
  void OnFileClose() { emit closeRequested(); }
  void OnFileImport();

 signals:
  void titleChanged();
  void modifiedChanged(bool modified);
  void updateViews();
  void closeRequested();

 private:
  CDbPhoneCtrl m_store;                    // the entries
  // (the handset controller of the transfer session takes its place here)
  CDbPhoneCtrl m_slotHolder;               // never used for data; holds a store slot
  std::unique_ptr<PhonebookImage> m_pImage;  // the transfer's 120000-byte buffer
  bool m_bCsvFile = false;                 // the last open or save path ends in ".csv"
  bool m_bLoadSucceeded = false;           // the last load read a valid phonebook
  bool m_bModified = false;
  QString m_strTitle;
  QString m_strPathName;
};
