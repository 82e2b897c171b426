// The about box: the program's name, version and a short note.
#pragma once

#include <QDialog>

class QLabel;

// "%d.%02d" of the file version's major and minor parts (1.0.2.0 gives "1.00").
QString FormatFileVersion(int major, int minor);

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  QLabel* ProductLabel() const { return m_pProduct; }
  QLabel* VersionLabel() const { return m_pVersion; }
  QLabel* NoteLabel() const { return m_pNote; }

 private:
  QLabel* m_pProduct;
  QLabel* m_pVersion;
  QLabel* m_pNote;
};
