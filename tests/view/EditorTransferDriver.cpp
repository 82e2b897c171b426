// The editor's download and upload, run from a command line shaped like qvbook-cli's, so
// that a script can compare them with the Linux build's transfers and drive them into
// faults (under Wine, through the Windows backends):
//
//   editor_transfer download --port PORT OUT    a new phonebook, ダウンロード, then
//                                              名前を付けて保存 as OUT
//   editor_transfer upload [--no-backup] --port PORT IN
//                                              IN opened, then アップロード: the handset's
//                                              phonebook backed up and the preview
//                                              accepted, or (--no-backup) the setting
//                                              off and the plain confirmation
//
// The whole application runs (its main window and phonebook window) and the commands go
// through its command router, as menu clicks do. Message boxes and the save dialog are
// answered by FakePrompts (OK to every question); every message is printed on stderr as
// "caption: text". The editor's settings and backups go to a folder of the run's own. Exit status 0 when the transfer's success message was shown and, for a
// download, the file was saved; 1 otherwise; 64 for a wrong command line.
#include <QApplication>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

#include "app/UtilityApp.h"
#include "backup/ui/BackupSettings.h"
#include "support/PreviewAnswers.h"
#include "strings/StringIds.h"
#include "support/EditorFixture.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"

namespace {

void PrintMessages(const FakePrompts& prompts) {
  for (const MessageRequest& message : prompts.messages) {
    QString text = message.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    std::fprintf(stderr, "%s: %s\n", message.caption.toUtf8().constData(), text.toUtf8().constData());
  }
}

bool Shown(const FakePrompts& prompts, int captionId) {
  for (const MessageRequest& message : prompts.messages)
    if (message.caption == Text(captionId)) return true;
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  InstallJapaneseInterface();
  QStringList arguments = QApplication::arguments().mid(1);
  const bool backup = !arguments.removeOne(QStringLiteral("--no-backup"));
  const bool download = arguments.value(0) == QLatin1String("download");
  if (arguments.size() != 4 || (!download && arguments[0] != QLatin1String("upload")) ||
      arguments[1] != QLatin1String("--port")) {
    std::fprintf(stderr, "usage: editor_transfer download|upload [--no-backup] --port PORT FILE\n");
    return 64;
  }
  qputenv("QVBOOK_PORT", arguments[2].toLocal8Bit());
  const QString file = arguments[3];

  // Linux reads these folders from the environment; Windows keeps them in the user's profile.
  QTemporaryDir userFolders;
  qputenv("XDG_CONFIG_HOME", userFolders.filePath(QStringLiteral("config")).toLocal8Bit());
  qputenv("XDG_DATA_HOME", userFolders.filePath(QStringLiteral("data")).toLocal8Bit());
  SetBackupBeforeUpload(backup);

  FakePrompts prompts;
  prompts.answers = {PromptAnswer::Ok};  // the upload's confirmation
  prompts.dialogScripts.push_back(AnswerPreview(true));  // the upload's preview
  prompts.saveAnswer = file;
  auto environment = StoreEnvironment::CreatePrivate();
  bool done = false;
  {
    CUtilityApp editor(*environment, UniqueLockName());
    if (editor.InitInstance(download ? QStringList() : QStringList{file})) {
      CMainFrame* frame = editor.MainFrame();
      frame->ExecuteCommand(download ? ID_DOWNLOAD : ID_UPLOAD);
      done = Shown(prompts, download ? IDS_DOWNLOAD_DONE_CAPTION : IDS_UPLOAD_DONE_CAPTION);
      if (done && download) {
        frame->ExecuteCommand(ID_FILE_SAVE_AS);
        CChildFrame* child = frame->ActiveChild();
        done = child && !child->GetDocument()->IsModified();  // a saved phonebook
      }
      for (CChildFrame* child : frame->Children()) child->GetDocument()->SetModifiedFlag(false);
    }
    editor.ExitInstance();
  }
  PrintMessages(prompts);
  return done ? 0 : 1;
}
