// Saving a phonebook over its file, with real files: a file another program changed since
// it was opened or saved, or whose owner the save cannot keep, is overwritten only when the
// user says so; a failed write names its cause; what a killed save left beside a file goes
// when the file is opened.
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <fstream>

#include "strings/StringIds.h"
#include "support/EditorFixture.h"
#include "ui/QtText.h"

namespace {

void Write(const QString& path, const char* text) { std::ofstream(QFile::encodeName(path).constData()) << text; }

QByteArray Read(const QString& path) { QFile file(path); return file.open(QIODevice::ReadOnly) ? file.readAll() : ""; }

// Takes root's power to give files away, or gives it back.
void AllowChown(bool allowed) {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  syscall(SYS_capget, &header, data);
  data[0].effective = allowed ? data[0].effective | (1u << CAP_CHOWN) : data[0].effective & ~(1u << CAP_CHOWN);
  syscall(SYS_capset, &header, data);
}

}  // namespace

class SaveOverFileTest : public EditorTest<> {
  Q_OBJECT

 private slots:
  void init() { SetUpEditor(); }
  void cleanup() {
    AllowChown(true);
    TearDownEditor();
  }

  // Each change makes the next save ask; the default answer (No) leaves the file and the
  // phonebook as they were; after Yes, the phonebook's own save changed nothing to ask about.
  // Then the disk runs out of room for this process (a file size limit, which root has too).
  void savingOverTheFileAsksOrSaysWhyNot() {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("book.csv"));
    Write(file, "0001,a,\xB1,0123,,,1\r\n");
    // Of a process id beyond any the system gives: its process is surely gone.
    const QString leftover = folder.filePath(QStringLiteral(".qvbook-2147483000-44444444.tmp"));
    Write(leftover, "killed half-way");
    OpenPhonebook();
    QVERIFY(m_doc->OnOpenDocument(file) && !QFile::exists(leftover));
    Populate({MakeEntry(2, Kana::Ka)});
    const QByteArray path = QFile::encodeName(file);
    const timespec then[2] = {{1000000000, 0}, {1000000000, 0}};
    const std::pair<int, std::function<void()>> changes[] = {
        {IDS_FILE_CHANGED_ELSEWHERE, [&] { Write(file, "0003,c,\xBB,0456,,,1\r\n"); }},
        {IDS_FILE_CHANGED_ELSEWHERE, [&] { QFile::copy(file, file + "~") && rename(path + "~", path); }},
        {IDS_FILE_CHANGED_ELSEWHERE, [&] { utimensat(AT_FDCWD, path, then, 0); }},
        {IDS_ASK_CHANGE_OWNER, [&] { chown(path, 54321, 54321) == 0 && (AllowChown(false), true); }}};
    for (const auto& [textId, change] : changes) {
      if (textId == IDS_ASK_CHANGE_OWNER && geteuid() != 0) break;  // giving the file away needs root
      change();
      const QByteArray before = Read(file);
      m_doc->SetModifiedFlag(true);
      m_prompts->Clear();
      QVERIFY(!m_doc->DoFileSave() && Read(file) == before && m_doc->IsModified());
      QCOMPARE(m_prompts->Last().text, Text(textId).arg(file));
      QVERIFY(m_prompts->Last().buttons == PromptButtons::YesNo && m_prompts->Last().defaultButton == PromptAnswer::No);
      m_prompts->answers = {PromptAnswer::Yes};
      QVERIFY(m_doc->DoFileSave() && Read(file).count("\r\n") == 2);
      m_doc->SetModifiedFlag(true);
      QVERIFY(m_doc->DoFileSave());
      QCOMPARE(m_prompts->messages.size(), size_t(2));  // the question, asked twice
    }
    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY}, small{8, RLIM_INFINITY};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    QVERIFY(!m_doc->DoFileSave());
    setrlimit(RLIMIT_FSIZE, &unlimited);
    QCOMPARE(m_prompts->Last().text, Text(AFX_IDP_FILE_WRITE_ERROR).arg(file) + QStringLiteral("\r\n\r\n") + file +
                                         QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(EFBIG)));
  }
};

QTEST_MAIN(SaveOverFileTest)
#include "SaveOverFileTest.moc"
