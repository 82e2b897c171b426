// qvbook: the phonebook editor.
#include <QApplication>

#include "app/UtilityApp.h"
#include "backup/HandsetBackups.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/Console.h"

int main(int argc, char* argv[]) {
  // Started without a standard stream, the editor must not let its lock or store files take
  // that descriptor (Qt's warnings would be written into them). Nothing else is at stake.
  platform::PrepareStandardStreams();
  QApplication application(argc, argv);
  // Names the user's data folder (QStandardPaths), where the handset's backups are kept.
  QCoreApplication::setApplicationName(QString::fromLatin1(kDataFolderName));
  // Ties the windows to the installed desktop entry (its name and icon on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("jp.brightmoor.qvbook"));
  InstallJapaneseInterface();
  CUtilityApp editor(StoreEnvironment::Editor());
  if (!editor.InitInstance(QApplication::arguments().mid(1))) return editor.ExitInstance();
  const int result = application.exec();
  editor.ExitInstance();
  return result;
}
