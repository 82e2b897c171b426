// qvbook: the phonebook editor.
#include <QApplication>

#include "app/UtilityApp.h"
#include "phonebook/StoreEnvironment.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Ties the windows to the installed desktop entry (its name and icon on Wayland).
  QGuiApplication::setDesktopFileName(QStringLiteral("jp.brightmoor.qvbook"));
  InstallJapaneseInterface();
  CUtilityApp editor(StoreEnvironment::Editor());
  if (!editor.InitInstance(QApplication::arguments().mid(1))) return editor.ExitInstance();
  const int result = application.exec();
  editor.ExitInstance();
  return result;
}
