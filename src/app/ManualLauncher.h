// Opening the manual: first with the PDF reader "acrord32", then with whatever program
// the desktop associates with PDF files. Nothing is reported when neither works.
#pragma once

#include <QString>
#include <QStringList>

class IShellLauncher {
 public:
  virtual ~IShellLauncher() = default;
  // Starts `program` with `arguments`; false when it could not be started.
  virtual bool StartProgram(const QString& program, const QStringList& arguments) = 0;
  // Opens `path` with the program associated with its type; false on failure.
  virtual bool OpenWithAssociatedProgram(const QString& path) = 0;
};

// The desktop's launcher (QProcess and QDesktopServices).
IShellLauncher& DesktopShell();

// The manual's path: the first of `folders` that holds it, else the bare file name, which
// the launched program resolves against the current folder.
QString FindManual(const QStringList& folders);

// The folders searched: the installed data folder, beside the program, the current folder.
QStringList ManualFolders();

void OpenManual(IShellLauncher& shell, const QString& manualPath);
