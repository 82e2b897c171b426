// The preview before an upload: how many entries the upload adds to the handset, changes
// and removes, and the entries of each on a tab of their own, with the backup that holds
// the handset's phonebook as it is now. アップロード goes on; キャンセル (the default
// when the upload would remove more than half of the handset's entries) stops.
#pragma once

#include <QDialog>

#include "backup/PhonebookChanges.h"

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;

class CUploadPreviewDialog : public QDialog {
  Q_OBJECT

 public:
  // `backupName`: the file that holds the handset's phonebook now.
  CUploadPreviewDialog(const PhonebookChanges& changes, const QString& backupName, QWidget* parent = nullptr);

  QLabel* Summary() const { return m_pSummary; }
  QLabel* Warning() const { return m_pWarning; }  // null unless most entries would go
  QTabWidget* Tabs() const { return m_pTabs; }
  // The list of added (0), changed (1) or removed (2) entries.
  QTreeWidget* List(int tab) const;
  QPushButton* UploadButton() const { return m_pUpload; }
  QPushButton* CancelButton() const { return m_pCancel; }

 private:
  QLabel* m_pSummary;
  QLabel* m_pWarning = nullptr;
  QTabWidget* m_pTabs;
  QPushButton* m_pUpload;
  QPushButton* m_pCancel;
};
