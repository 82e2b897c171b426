// Failure texts shared by the editor and the command line.
#include "files/FailureText.h"

#include <cstring>

#include "files/FileByteReader.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/AtomicFile.h"
#include "platform/Errno.h"
#include "strings/StringIds.h"
#include "strings/StringTable.h"

namespace {

int FolderProblemReasonId(platform::FolderProblem problem) {
  using platform::FolderProblem;
  switch (problem) {
    case FolderProblem::MissingParent:
      return IDS_FOLDER_NO_PARENT;
    case FolderProblem::NotWritable:
      return IDS_FOLDER_NOT_WRITABLE;
    case FolderProblem::OtherOwner:
      return IDS_FOLDER_OTHER_OWNER;
    case FolderProblem::SymbolicLink:
      return IDS_FOLDER_SYMLINK;
    case FolderProblem::NotAFolder:
      return IDS_FOLDER_NOT_A_FOLDER;
    case FolderProblem::CannotMakePrivate:
      return IDS_FOLDER_NOT_PRIVATE;
    case FolderProblem::None:
    case FolderProblem::Other:
      break;
  }
  return IDS_FOLDER_OTHER_ERROR;
}

}  // namespace

int ReadFailureTextId(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return AFX_IDP_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
      return AFX_IDP_FILE_SHARING_READ;
    default:
      return AFX_IDP_FILE_READ_ERROR;
  }
}

std::string ReadFailureCause(int error) {
  if (error == kFileChangedWhileRead) return std::string(StringText(IDS_FILE_CHANGED_WHILE_READ));
  return std::strerror(error);
}

int WriteFailureTextId(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
      return AFX_IDP_FILE_SHARING_WRITE;
    case kSaveTargetNotAFile:
      return IDS_TARGET_NOT_A_FILE;
    case kSaveKeepsNoOwner:
      return IDS_KEEPS_NO_OWNER;
    case kSaveNotDurable:
      return IDS_SAVE_NOT_DURABLE;
    default:
      return AFX_IDP_FILE_WRITE_ERROR;
  }
}

std::string WriteFailureReason(int error) {
  if (error == kSaveTargetNotAFile || error == kSaveKeepsNoOwner || error == kSaveNotDurable) return {};
  return std::strerror(error);
}

std::string StoreFailureDetail(const CDbPhoneCtrl& store, int error) {
  const std::string& path = store.DatabasePath();
  const std::string folder = path.substr(0, path.find_last_of("/\\"));
  std::string detail = FormatText(IDS_STORE_WRITE_FAILED_DETAIL, {folder});
  if (error != 0) detail += "\r\n" + folder + ": " + std::strerror(error);
  return detail;
}

std::string UnusableFolderText(const FolderTrouble& trouble) {
  if (trouble.check) return {};
  std::string reason(StringText(FolderProblemReasonId(trouble.check.problem)));
  if (trouble.check.problem == platform::FolderProblem::Other && trouble.check.osError != 0)
    reason += std::string(": ") + std::strerror(trouble.check.osError);
  return FormatText(IDS_UNUSABLE_FOLDER, {trouble.path, reason});
}
