// qvbook: the phonebook editor.
#include <QApplication>

#include "app/UtilityApp.h"
#include "phonebook/StoreEnvironment.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  InstallJapaneseInterface();
  CUtilityApp editor(StoreEnvironment::Editor());
  if (!editor.InitInstance(QApplication::arguments().mid(1))) return editor.ExitInstance();
  const int result = application.exec();
  editor.ExitInstance();
  return result;
}
