// Failure details shared by the editor and the command line.
#include "files/FailureText.h"

#include <cstring>

#include "phonebook/DbPhoneCtrl.h"
#include "strings/StringTable.h"

std::string StoreFailureDetail(const CDbPhoneCtrl& store, int error) {
  const std::string& path = store.DatabasePath();
  const std::string folder = path.substr(0, path.find_last_of("/\\"));
  std::string detail(StringText(kStoreWriteFailedDetail));
  if (const auto at = detail.find("%1"); at != std::string::npos) detail.replace(at, 2, folder);
  if (error != 0) detail += "\r\n" + folder + ": " + std::strerror(error);
  return detail;
}
