// Start-up and the application's commands.
#include "app/UtilityApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QTimer>
#include <QTranslator>

#include "app/AboutDlg.h"
#include "app/BackupCommands.h"
#include "app/ChildFrame.h"
#include "app/Icons.h"
#include "app/LinkTraceSetting.h"
#include "ui/CommandIds.h"
#include "app/MainFrame.h"
#include "app/ManualLauncher.h"
#include "ui/QtText.h"
#include "ui/UiTexts.h"
#include "ui/UserPrompts.h"
#include "doc/UtilityDoc.h"
#include "platform/OsVersion.h"
#include "platform/SingleInstanceLock.h"
#include "readings/ReadingSuggester.h"
#include "view/ReadingLoad.h"
#include "view/TransferRunner.h"
#include "view/UtilityView.h"

namespace {

// The path that identifies a file, however it was written.
QString IdentityPath(const QString& path) {
  const QFileInfo info(path);
  const QString canonical = info.canonicalFilePath();
  return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

void InstallJapaneseInterface() {
  auto* translator = new QTranslator(qApp);
  if (translator->load(QStringLiteral("qtbase_ja"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  // The first Japanese interface font the system has: IPA Gothic on Linux, Windows' own
  // interface fonts there.
  QFont font;
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("Meiryo UI"),
                    QStringLiteral("MS UI Gothic")});
  font.setPointSize(9);
  font.setStyleHint(QFont::SansSerif);
  QApplication::setFont(font);
}

CUtilityApp::CUtilityApp(StoreEnvironment& environment, QString instanceName)
    : m_environment(environment),
      m_strInstanceName(std::move(instanceName)),
      m_pShell(&DesktopShell()) {
  BindCommands();
}

CUtilityApp::~CUtilityApp() {
  // The windows (and their stores) go before the lock.
  m_pMainFrame.reset();
}

bool CUtilityApp::InitInstance(const QStringList& arguments) {
  // Every window without an icon of its own (message boxes, the import's dialogs) shows
  // the program's rather than the system's blank one.
  QApplication::setWindowIcon(MainWindowIcon());
  m_pInstanceLock = std::make_unique<SingleInstanceLock>(m_strInstanceName.toStdString());
  if (!m_pInstanceLock->Acquire()) {
    ShowMessage(nullptr, QString::fromUtf8(UiText::kSecondInstanceCaption),
                QString::fromUtf8(UiText::kSecondInstanceText), MessageIcon::Warning);
    return false;
  }
  if (!IsSupportedSystem()) {
    ShowMessage(nullptr, QString::fromUtf8(UiText::kUnsupportedSystemCaption),
                QString::fromUtf8(UiText::kUnsupportedSystemText), MessageIcon::Error);
    return false;
  }
  CreateMainFrame();
  const bool opened = arguments.isEmpty() ? OnFileNew() != nullptr
                                          : OpenDocumentFile(arguments.first()) != nullptr;
  if (!opened) return false;
  m_pMainFrame->show();
  m_pMainFrame->repaint();
  // The reading dictionary loads on a thread of its own once the first window is drawn,
  // so that the first suggestion does not wait for it and the start does not either.
  QTimer::singleShot(0, [] { StartLoadingReadings(SharedReadingSuggester()); });
  return true;
}

int CUtilityApp::ExitInstance() {
  m_pMainFrame.reset();
  m_pInstanceLock.reset();
  return 0;
}

void CUtilityApp::CreateMainFrame() {
  m_pMainFrame = std::make_unique<CMainFrame>(m_commands);
  connect(m_pMainFrame.get(), &CMainFrame::filesDropped, this, [this](const QStringList& paths) {
    for (const QString& path : paths) OpenDocumentFile(path);
  });
}

CUtilityDoc* CUtilityApp::AddDocumentWindow(std::unique_ptr<CUtilityDoc> document) {
  CUtilityDoc* doc = document.get();
  auto* child = new CChildFrame(document.release());
  m_pMainFrame->AddChild(child);
  child->GetView()->OnUpdate();
  return doc;
}

CUtilityDoc* CUtilityApp::OnFileNew() {
  auto document = std::make_unique<CUtilityDoc>(m_environment);
  document->SetTitle(ResourceField(IDR_PHONEBOOK, 1) + QString::number(m_nUntitledCount + 1));
  if (!document->OnNewDocument()) return nullptr;
  ++m_nUntitledCount;
  return AddDocumentWindow(std::move(document));
}

CUtilityDoc* CUtilityApp::OpenDocumentFile(const QString& path) {
  const QString identity = IdentityPath(path);
  for (CChildFrame* child : m_pMainFrame->Children()) {
    const QString open = child->GetDocument()->GetPathName();
    if (!open.isEmpty() && IdentityPath(open) == identity) {
      m_pMainFrame->MdiArea()->setActiveSubWindow(child);
      return child->GetDocument();
    }
  }
  auto document = std::make_unique<CUtilityDoc>(m_environment);
  if (!document->OnOpenDocument(path)) return nullptr;
  return AddDocumentWindow(std::move(document));
}

void CUtilityApp::OnFileOpen() {
  FileDialogRequest request;
  request.owner = m_pMainFrame.get();
  request.title = Text(AFX_IDS_OPENFILE);
  request.filters = {ResourceField(IDR_PHONEBOOK, 3), Text(AFX_IDS_ALLFILTER)};
  for (const QString& path : Prompts().AskOpenFiles(request)) OpenDocumentFile(path);
}

void CUtilityApp::OnAppAbout() {
  CAboutDlg about(m_pMainFrame.get());
  Prompts().RunDialog(about);
}

void CUtilityApp::OnOpenManual() { OpenManual(*m_pShell, FindManual(ManualFolders())); }

// Download with no phonebook open: a new phonebook, downloaded into without asking (it
// has no changes to lose).
void CUtilityApp::OnDownload() {
  if (!OnFileNew()) return;
  CChildFrame* child = m_pMainFrame->ActiveChild();
  if (!child || !child->GetView()) return;
  child->GetView()->Transfers().OnDownload();
}

void CUtilityApp::BindCommands() {
  m_commands.Bind(ID_FILE_NEW, [this] { OnFileNew(); });
  m_commands.Bind(ID_FILE_OPEN, [this] { OnFileOpen(); });
  m_commands.Bind(ID_APP_EXIT, [this] { m_pMainFrame->close(); });
  m_commands.Bind(ID_APP_ABOUT, [this] { OnAppAbout(); });
  m_commands.Bind(ID_OPEN_MANUAL, [this] { OnOpenManual(); });
  m_commands.Bind(ID_MANUAL_NO_DOCUMENT, [] {});  // this menu item does nothing
  m_commands.Bind(ID_DOWNLOAD, [this] { OnDownload(); });
  BindBackupCommands(m_commands, *this);
  BindLinkTraceSetting(m_commands);
}
