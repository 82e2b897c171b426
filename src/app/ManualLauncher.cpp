// Opening the manual.
#include "app/ManualLauncher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "ui/UiTexts.h"

namespace {

class DesktopShellLauncher : public IShellLauncher {
 public:
  bool StartProgram(const QString& program, const QStringList& arguments) override {
    return QProcess::startDetached(program, arguments);
  }
  bool OpenWithAssociatedProgram(const QString& path) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
  }
};

}  // namespace

IShellLauncher& DesktopShell() {
  static DesktopShellLauncher shell;
  return shell;
}

QString FindManual(const QStringList& folders) {
  const QString name = QString::fromUtf8(UiText::kManualFileName);
  for (const QString& folder : folders) {
    const QString path = QDir(folder).filePath(name);
    if (QFileInfo(path).isFile()) return path;
  }
  return name;
}

QStringList ManualFolders() {
  // The installed data folder first, so that an installed editor always opens the manual
  // installed with it; beside the program for a build tree.
  return {QStringLiteral(QVBOOK_DATA_DIR), QCoreApplication::applicationDirPath(),
          QDir::currentPath()};
}

void OpenManual(IShellLauncher& shell, const QString& manualPath) {
  if (shell.StartProgram(QString::fromUtf8(UiText::kPdfReaderProgram), {manualPath})) return;
  shell.OpenWithAssociatedProgram(manualPath);
}
