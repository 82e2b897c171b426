// The handset's backups, newest first, with the date and time each was taken, its entries
// and the port it came from: one is opened as a phonebook window or uploaded to the handset.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

#include "backup/HandsetBackups.h"

class QPushButton;
class QTreeWidget;

class CBackupListDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Choice { None, Open, Upload };

  // `folder`: where the backups are, shown to the user.
  CBackupListDialog(const std::vector<BackupInfo>& backups, const QString& folder, QWidget* parent = nullptr);

  // After the dialog was accepted: what the user chose, and the backup's file (the
  // system's path).
  Choice Chosen() const { return m_choice; }
  const std::string& ChosenPath() const { return m_chosenPath; }

  QTreeWidget* List() const { return m_pList; }
  QPushButton* OpenButton() const { return m_pOpen; }
  QPushButton* UploadButton() const { return m_pUpload; }

 private:
  void Choose(Choice choice);

  std::vector<BackupInfo> m_backups;
  QTreeWidget* m_pList;
  QPushButton* m_pOpen;
  QPushButton* m_pUpload;
  Choice m_choice = Choice::None;
  std::string m_chosenPath;
};
