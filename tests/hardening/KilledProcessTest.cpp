// Programs killed outright (SIGKILL) while they hold the editor's instance lock, store
// slots and temporary files: nothing they held may stay behind. The next editor starts
// and opens three phonebooks; the next command-line run removes the dead run's folder.
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "app/MainFrame.h"
#include "app/UtilityApp.h"
#include "phonebook/StoreEnvironment.h"
#include "platform/SingleInstanceLock.h"
#include "platform/SlotLock.h"
#include "support/FakePrompts.h"

namespace {

// Waits up to ten seconds for `ready`.
template <typename Ready>
bool WaitFor(Ready ready) {
  for (int i = 0; i < 200; ++i) {
    if (ready()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& item : std::filesystem::directory_iterator(folder, ignored)) {
    const std::string name = item.path().filename().string();
    if (name.rfind(prefix, 0) == 0) names.push_back(name);
  }
  return names;
}

}  // namespace

class KilledProcessTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir m_runtime;  // the programs' XDG_RUNTIME_DIR
  std::string UserFolder() const { return m_runtime.path().toStdString() + "/qvbook"; }

  QProcess* Start(const QString& program, const QStringList& arguments) {
    auto* process = new QProcess(this);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_RUNTIME_DIR", m_runtime.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(environment);
    process->start(program, arguments);
    return process->waitForStarted() ? process : nullptr;
  }

  static void KillOutright(QProcess* process) {
    ::kill(static_cast<pid_t>(process->processId()), SIGKILL);
    process->waitForFinished();
  }

 private slots:
  void killedEditorLeavesNoLockSlotsOrFiles() {
    // The lock is machine-wide: a developer's running editor holds it too.
    if (!SingleInstanceLock(kInstanceLockName).Acquire()) QSKIP("an editor runs on this machine");
    const QString book = m_runtime.filePath("book.csv");
    QFile file(book);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0001,Sato,\xBB\xC4\xB3,0312,,,3\r\n");
    file.close();

    QProcess* editor = Start(QVBOOK_EDITOR, {book});
    QVERIFY(editor);
    platform::SlotLocks slotLocks(UserFolder(), StoreEnvironment::kSlotCount);
    QVERIFY(WaitFor([&] {
      return !SingleInstanceLock(kInstanceLockName).Acquire() && slotLocks.CountHeld() > 0 &&
             !FilesIn(UserFolder(), "temp").empty();
    }));
    KillOutright(editor);

    QCOMPARE(slotLocks.CountHeld(), 0);
    FakePrompts prompts;
    auto environment = StoreEnvironment::CreateShared(UserFolder());
    CUtilityApp next(*environment);  // the real lock name
    QVERIFY(next.InitInstance({}));
    QVERIFY(next.OnFileNew());
    QVERIFY(next.OnFileNew());
    QCOMPARE(next.MainFrame()->Children().size(), qsizetype(3));
    QVERIFY(prompts.messages.empty());
    // Only the live phonebooks' files are there: the dead editor's were cleared.
    QVERIFY(FilesIn(UserFolder(), "temp").size() <= 3u);
    next.ExitInstance();
  }

  void killedToolLeavesNothingAfterTheNextRun() {
    // An upload to a port where no handset answers keeps the tool waiting with its
    // phonebook in a store of its private folder.
    const int silent = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(silent >= 0 && grantpt(silent) == 0 && unlockpt(silent) == 0);
    const QString book = m_runtime.filePath("upload.csv");
    QFile file(book);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0001,Sato,\xBB\xC4\xB3,0312,,,3\r\n");
    file.close();
    QProcess* tool = Start(QVBOOK_CLI, {"upload", "--no-backup", "--port", ptsname(silent), book});
    QVERIFY(tool);
    QVERIFY(WaitFor([&] {
      const std::vector<std::string> folders = FilesIn(UserFolder(), "private-");
      return !folders.empty() && !FilesIn(UserFolder() + "/" + folders[0], "temp").empty();
    }));
    const std::vector<std::string> left = FilesIn(UserFolder(), "private-");
    KillOutright(tool);
    QCOMPARE(FilesIn(UserFolder(), "private-"), left);
    // Old enough to count as abandoned.
    for (const std::string& name : left) {
      std::filesystem::last_write_time(UserFolder() + "/" + name,
                                       std::filesystem::file_time_type::clock::now() -
                                           std::chrono::hours(1));
    }

    QProcess* next = Start(QVBOOK_CLI, {"show", m_runtime.filePath("missing.csv")});
    QVERIFY(next && next->waitForFinished());
    QCOMPARE(next->exitCode(), 66);
    QVERIFY(FilesIn(UserFolder(), "private-").empty());
    ::close(silent);
  }
};

QTEST_MAIN(KilledProcessTest)
#include "KilledProcessTest.moc"
