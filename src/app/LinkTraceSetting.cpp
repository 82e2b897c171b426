// The link trace setting, kept in the editor's settings.
#include "app/LinkTraceSetting.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include "doc/DocumentTransfer.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"

namespace {

const QString kTraceKey = QStringLiteral("link/trace");

QSettings EditorSettings() { return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("qvbook")); }

void Apply(bool on) {
  if (on) QDir().mkpath(QFileInfo(LinkTraceFilePath()).path());
  CDocumentTransfer::SetTraceFile(on ? QFile::encodeName(LinkTraceFilePath()).toStdString() : std::string());
}

}  // namespace

QString LinkTraceFilePath() {
  return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/link-trace.txt");
}

void BindLinkTraceSetting(CCommandHandlers& commands) {
  Apply(EditorSettings().value(kTraceKey, false).toBool());
  commands.BindState(ID_LINK_TRACE, [](CommandState& state) {
    state.enabled = true;
    state.checked = !CDocumentTransfer::TraceFile().empty();
  }, [] {
    const bool on = CDocumentTransfer::TraceFile().empty();
    EditorSettings().setValue(kTraceKey, on);
    Apply(on);
  });
}
