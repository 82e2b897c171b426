// The application: start-up (one instance, supported system, main window, first
// phonebook), the creation of phonebook windows, and the application-wide commands.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "ui/CommandHandlers.h"

class CChildFrame;
class CMainFrame;
class CUtilityDoc;
class IShellLauncher;
class SingleInstanceLock;
class StoreEnvironment;

// The machine-wide name of the editor's single-instance lock.
inline constexpr const char* kInstanceLockName = "Global\\Brightmoor_Utility";

class CUtilityApp : public QObject {
  Q_OBJECT

 public:
  // `environment` holds the stores' files and slots; `instanceName` names the lock.
  CUtilityApp(StoreEnvironment& environment, QString instanceName = kInstanceLockName);
  ~CUtilityApp() override;

  // The start-up sequence; false ends the program.
  bool InitInstance(const QStringList& arguments);
  int ExitInstance();

  CMainFrame* MainFrame() const { return m_pMainFrame.get(); }

  // A new empty phonebook window; null when refused.
  CUtilityDoc* OnFileNew();
  void OnFileOpen();
  // Opens `path` in a new window, or activates the window that already shows it; null
  // when the file could not be opened.
  CUtilityDoc* OpenDocumentFile(const QString& path);
  void OnAppAbout();
  void OnOpenManual();
  void OnDownload();

  void SetShellLauncher(IShellLauncher* shell) { m_pShell = shell; }

 private:
  void BindCommands();
  void CreateMainFrame();
  CUtilityDoc* AddDocumentWindow(std::unique_ptr<CUtilityDoc> document);

  StoreEnvironment& m_environment;
  QString m_strInstanceName;
  CCommandHandlers m_commands;  // the application's commands; the main window routes to them
  std::unique_ptr<SingleInstanceLock> m_pInstanceLock;
  std::unique_ptr<CMainFrame> m_pMainFrame;
  IShellLauncher* m_pShell;
  int m_nUntitledCount = 0;  // new phonebooks made so far, for their titles
};

// Loads Qt's Japanese texts for standard buttons and dialogs and a Japanese font.
void InstallJapaneseInterface();
