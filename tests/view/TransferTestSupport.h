// Shared pieces of the editor's transfer tests: the emulator on a pseudo-terminal named
// by QVBOOK_PORT, a phonebook image file for it, settings and backups in folders of the
// test's own, quick or real session timing, and message boxes that let a test look around
// at the moment one is shown.
#pragma once

#include <QFile>
#include <QMap>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/QtText.h"
#include "doc/UtilityDoc.h"
#include "comm/HandsetProcess.h"
#include "comm/SessionHelpers.h"
#include "comm/ui/ProgressDialog.h"
#include "phonebook/DbPhoneCtrl.h"
#include "support/EditorFixture.h"

// Answers like FakePrompts and first runs `onMessage` with the message being shown.
class WatchingPrompts : public FakePrompts {
 public:
  std::function<void(const MessageRequest&)> onMessage;
  PromptAnswer ShowMessage(const MessageRequest& request) override {
    if (onMessage) onMessage(request);
    return FakePrompts::ShowMessage(request);
  }
  QStringList Captions() const {
    QStringList captions;
    for (const MessageRequest& message : messages) captions << message.caption;
    return captions;
  }
};

// Pauses short enough for a quick test; the slow pacing of blocks can be kept so that a
// test has time to press Abort in mid-transfer.
inline TransferTiming EditorQuickTiming(bool pacedBlocks = false) {
  TransferTiming timing = QuickTiming();
  timing.wakeLimitMs = 1000;
  if (pacedBlocks) {
    const TransferTiming real;
    timing.beforeAckMs = real.beforeAckMs;
    timing.afterBlockMs = real.afterBlockMs;
  }
  return timing;
}


class TransferFixture {
 public:
  // The editor's settings (uploads back up by default) and backups start afresh.
  TransferFixture() {
    qunsetenv("QVBOOK_PORT");
    qputenv("XDG_CONFIG_HOME", m_folder.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", m_folder.filePath(QStringLiteral("data")).toLocal8Bit());
  }
  ~TransferFixture() {
    qunsetenv("QVBOOK_PORT");
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) qputenv(name, m_userFolders.value(name));
  }

  // Starts the emulator holding `entries` with `options`, and names its port.
  void StartHandset(const std::vector<PhonebookEntry>& entries, std::vector<std::string> options = {}) {
    const std::string image = m_folder.filePath(QStringLiteral("handset.bin")).toStdString();
    WriteImage(entries, image);
    options.insert(options.end(), {"--image", image, "--save", UploadPath()});
    m_handset = std::make_unique<HandsetProcess>(options, LogPath());
    QVERIFY(!m_handset->Path().empty());
    qputenv("QVBOOK_PORT", QByteArray::fromStdString(m_handset->Path()));
  }

  // A port that cannot be opened.
  void NameMissingPort() { qputenv("QVBOOK_PORT", m_folder.filePath(QStringLiteral("no-such-tty")).toUtf8()); }

  // What the emulator has written about the conversation so far.
  QString HandsetLog() const {
    QFile file(QString::fromStdString(LogPath()));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  std::string UploadPath() const { return m_folder.filePath(QStringLiteral("uploaded.bin")).toStdString(); }
  QByteArray Uploaded() const {
    QFile file(QString::fromStdString(UploadPath()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  // The image a store with `entries` builds.
  static PhonebookImage ImageOf(const std::vector<PhonebookEntry>& entries) {
    auto environment = StoreEnvironment::CreatePrivate();
    CDbPhoneCtrl store(*environment);
    for (const PhonebookEntry& entry : entries) EXPECT_STORED(store.AddEntry(entry));
    PhonebookImage image{};
    EXPECT_STORED(store.BuildImage(image));
    return image;
  }

 private:
  std::string LogPath() const { return m_folder.filePath(QStringLiteral("handset.log")).toStdString(); }

  static void WriteImage(const std::vector<PhonebookEntry>& entries, const std::string& path) {
    const PhonebookImage image = ImageOf(entries);
    QFile file(QString::fromStdString(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(image.data()), static_cast<qint64>(image.size()));
  }

  const QMap<QByteArray, QByteArray> m_userFolders{{"XDG_CONFIG_HOME", qgetenv("XDG_CONFIG_HOME")},
                                                    {"XDG_DATA_HOME", qgetenv("XDG_DATA_HOME")}};
  QTemporaryDir m_folder;
  std::unique_ptr<HandsetProcess> m_handset;
};

// Once the progress dialog `find` returns is up and shows at least `bytes`, runs `action`
// on it (once). `find` may return null while there is no dialog to look at.
inline void WhenProgressReaches(QObject* owner, std::function<CProgressDialog*()> find, int bytes,
                                std::function<void(CProgressDialog&)> action) {
  auto* poll = new QTimer(owner);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, find, bytes, action] {
    CProgressDialog* dialog = find();
    if (!dialog || !dialog->HasWindow() || dialog->Bar()->value() < bytes) return;
    poll->deleteLater();
    action(*dialog);
  });
  poll->start(2);
}
