// The document of one phonebook window.
#include "doc/UtilityDoc.h"

#include <QFileInfo>

#include "doc/DocumentExchange.h"
#include "doc/DocumentTransfer.h"
#include "doc/DocumentMessages.h"
#include "files/DocumentFile.h"
#include "files/FailureText.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/AtomicFile.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"
#include "ui/UserPrompts.h"

namespace {

std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::string AbsoluteLocalPath(const QString& path) { return LocalPath(QFileInfo(path).absoluteFilePath()); }

QStringList FileFilters() {
  return {ResourceField(IDR_PHONEBOOK, 3), Text(AFX_IDS_ALLFILTER)};
}

}  // namespace

CUtilityDoc::CUtilityDoc(StoreEnvironment& environment, QObject* parent)
    : QObject(parent),
      m_store(environment),
      m_history(m_store),
      m_pTransfer(std::make_unique<CDocumentTransfer>(m_store, nullptr)),
      m_pExchange(std::make_unique<CDocumentExchange>(*this)),
      m_slotHolder(environment) {
  connect(&m_history, &CPhonebookHistory::cleanChanged, this,
          [this](bool clean) { ShowModified(!clean); });
  m_commands.Bind(ID_FILE_CLOSE, [this] { OnFileClose(); });
  m_commands.Bind(ID_FILE_SAVE, [this] { DoFileSave(); });
  m_commands.Bind(ID_FILE_SAVE_AS, [this] { DoSave(QString()); });
  m_commands.Bind(ID_FILE_IMPORT, [this] { m_pExchange->OnFileImport(); });
}

CUtilityDoc::~CUtilityDoc() = default;

void CUtilityDoc::OnCloseDocument() {
  m_pTransfer->EndOnClose();
  emit documentClosing();
}

bool CUtilityDoc::OnNewDocument() {
  if (!m_store.HasSlot()) {
    ShowNoSlotRefusal(m_store, QString::fromUtf8(UiText::kNewRefusedCaption),
                      QString::fromUtf8(UiText::kNewRefusedText));
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CUtilityDoc::OnOpenDocument(const QString& path) {
  if (!m_store.HasSlot()) {
    ShowNoSlotRefusal(m_store, Text(IDS_OPEN_CAPTION), Text(IDS_OPEN_NO_SLOT));
    return false;
  }
  const std::string localPath = LocalPath(path);
  RemoveLeftoverTemporaries(localPath);
  // Taken before reading: whatever changes the file from here on is another program.
  const std::optional<platform::FileIdentity> identity = platform::IdentityOfFile(localPath);
  m_bCsvFile = IsCommaSeparatedPath(localPath);
  m_bLoadSucceeded = true;
  const DocumentLoadResult result = LoadDocument(m_store, localPath);
  switch (result.status) {
    case DocumentLoadResult::Ok:
      break;
    case DocumentLoadResult::NoSlot:
      ShowNoSlotRefusal(m_store, Text(IDS_OPEN_CAPTION), Text(IDS_OPEN_NO_SLOT));
      return false;
    case DocumentLoadResult::CannotRead:
      ShowFileError(ReadFailureTextId(result.osError), path);
      return false;
    case DocumentLoadResult::ReadFailed:  // nothing of the file is kept: no window opens
      ShowReadError(path, result.osError);
      return false;
    case DocumentLoadResult::InvalidFormat:
      m_bLoadSucceeded = false;
      break;
    case DocumentLoadResult::StoreFailed:
      ShowStoreFailure(nullptr, Text(IDR_MAINFRAME), Text(AFX_IDP_FILE_READ_ERROR).arg(path),
                       m_store, result.osError);
      return false;
  }
  if (!m_bLoadSucceeded) {
    ShowMessage(nullptr, Text(IDS_READ_CAPTION), Text(IDS_INVALID_FORMAT), MessageIcon::Error);
    return false;
  }
  SetPathName(path);
  if (identity) m_knownFile = KnownFile{AbsoluteLocalPath(path), *identity};
  SetModifiedFlag(false);
  return true;
}

bool CUtilityDoc::ChangedElsewhere(const std::string& localPath) const {
  if (!m_knownFile || m_knownFile->path != localPath) return false;
  const std::optional<platform::FileIdentity> now = platform::IdentityOfFile(localPath);
  return now && *now != m_knownFile->identity;  // a file removed meanwhile holds nothing to lose
}

DocumentSaveResult CUtilityDoc::SaveAskingForOwner(const QString& path, const std::string& localPath) {
  platform::FileIdentity written;
  AtomicSaveOptions options{.mayChangeOwner = false, .written = &written};
  DocumentSaveResult result = SaveDocument(m_store, localPath, options);
  if (result.status == DocumentSaveResult::WriteFailed && result.osError == kSaveKeepsNoOwner &&
      ConfirmYesNo(nullptr, Text(IDR_MAINFRAME), Text(IDS_ASK_CHANGE_OWNER).arg(path))) {
    options.mayChangeOwner = true;
    result = SaveDocument(m_store, localPath, options);
  }
  const bool replaced = result.status == DocumentSaveResult::Ok ||
                        (result.status == DocumentSaveResult::WriteFailed && result.osError == kSaveNotDurable);
  if (replaced) m_knownFile = KnownFile{AbsoluteLocalPath(path), written};
  return result;
}

// A save that replaced the file but could not make that durable counts as failed: the
// phonebook stays modified and keeps its path, so that closing it still asks to save.
bool CUtilityDoc::OnSaveDocument(const QString& path) {
  if (ChangedElsewhere(AbsoluteLocalPath(path)) &&
      !ConfirmYesNo(nullptr, Text(IDR_MAINFRAME), Text(IDS_FILE_CHANGED_ELSEWHERE).arg(path)))
    return false;
  const std::string localPath = LocalPath(path);
  m_bCsvFile = IsCommaSeparatedPath(localPath);
  const DocumentSaveResult result = SaveAskingForOwner(path, localPath);
  switch (result.status) {
    case DocumentSaveResult::Ok:
      SetModifiedFlag(false);
      return true;
    case DocumentSaveResult::StoreFailed:
      ShowStoreFailure(nullptr, Text(IDS_WRITE_CAPTION), Text(IDS_WRITE_FAILED), m_store, result.osError);
      return false;
    case DocumentSaveResult::WriteFailed:
      if (result.osError != kSaveKeepsNoOwner) ShowWriteFailure(path, result.osError);  // else the user said no
      return false;
  }
  return false;
}

bool CUtilityDoc::DoSave(const QString& path) {
  QString target = path;
  if (target.isEmpty()) {
    FileDialogRequest request;
    request.title = Text(AFX_IDS_SAVEFILE);
    request.filters = FileFilters();
    const QString extension = ResourceField(IDR_PHONEBOOK, 4);
    request.defaultSuffix = extension.mid(1);
    request.suggestedPath = m_strPathName.isEmpty() ? m_strTitle + extension : m_strPathName;
    target = Prompts().AskSaveFile(request);
    if (target.isEmpty()) return false;
  }
  if (!OnSaveDocument(target)) return false;
  SetPathName(target);
  return true;
}

bool CUtilityDoc::DoFileSave() { return DoSave(m_strPathName); }

bool CUtilityDoc::SaveModified() {
  if (!m_bModified) return true;
  MessageRequest request;
  request.caption = Text(IDR_MAINFRAME);
  request.text = Text(AFX_IDP_ASK_TO_SAVE).arg(m_strTitle);
  request.icon = MessageIcon::Question;
  request.buttons = PromptButtons::YesNoCancel;
  request.defaultButton = PromptAnswer::Yes;
  switch (Prompts().ShowMessage(request)) {
    case PromptAnswer::Yes: return DoFileSave();
    case PromptAnswer::No: return true;
    default: return false;
  }
}

void CUtilityDoc::SetModifiedFlag(bool modified) {
  if (!modified) m_history.SetClean();
  ShowModified(modified);
}

void CUtilityDoc::ShowModified(bool modified) {
  if (m_bModified == modified) return;
  m_bModified = modified;
  emit modifiedChanged(modified);
}

CPhonebookHistory::Step CUtilityDoc::BeginStep(int nameId) {
  return m_history.Begin(Text(nameId));
}

void CUtilityDoc::SetTitle(const QString& title) {
  m_strTitle = title;
  emit titleChanged();
}

void CUtilityDoc::SetPathName(const QString& path) {
  m_strPathName = QFileInfo(path).absoluteFilePath();
  SetTitle(QFileInfo(path).fileName());
}

// CSV import into this phonebook: arrives with the import dialog.
