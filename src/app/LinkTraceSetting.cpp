// The link trace setting, kept in the editor's settings file (qvbook.ini in the user's
// configuration folder, beside the upload's backup setting).
#include "app/LinkTraceSetting.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "doc/DocumentTransfer.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"

namespace {

const QString kTraceKey = QStringLiteral("link/trace");

QString SettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/qvbook.ini");
}

void Apply(bool on) {
  if (on) QDir().mkpath(QFileInfo(LinkTraceFilePath()).path());
  CDocumentTransfer::SetTraceFile(on ? QFile::encodeName(LinkTraceFilePath()).toStdString() : std::string());
}

}  // namespace

QString LinkTraceFilePath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/link-trace.txt");
}

void BindLinkTraceSetting(CCommandHandlers& commands) {
  Apply(QSettings(SettingsFile(), QSettings::IniFormat).value(kTraceKey, false).toBool());
  commands.BindState(ID_LINK_TRACE, [](CommandState& state) {
    state.enabled = true;
    state.checked = !CDocumentTransfer::TraceFile().empty();
  }, [] {
    const bool on = CDocumentTransfer::TraceFile().empty();
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    settings.setValue(kTraceKey, on);
    settings.sync();
    Apply(on);  // holds for this run even when it could not be kept
    if (settings.status() != QSettings::NoError)
      ShowMessage(nullptr, Text(IDS_APP_TITLE), Text(IDS_SETTING_NOT_SAVED), MessageIcon::Warning);
  });
}
