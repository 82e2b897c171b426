// The editor's backup folder and its setting, in an INI file of the user's configuration
// folder (QStandardPaths::AppConfigLocation), read afresh at every use.
#include "backup/ui/BackupSettings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <optional>

#include "backup/HandsetBackups.h"

namespace {

const QString kBackupKey = QStringLiteral("upload/backupAndPreview");
std::optional<bool> g_unsavedSetting;  // the user's choice when it could not be written

QString SettingsFile() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/qvbook.ini");
}

}  // namespace

std::string EditorBackupFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  // The XDG rules ignore a relative XDG_DATA_HOME, as the command line does; Qt 6.4 takes
  // it, which would put the backups wherever the editor was started.
  if (QDir::isRelativePath(data)) return DefaultBackupFolder();
  const QString folder = data + QLatin1Char('/') + QString::fromLatin1(kBackupSubfolder);
  return QFile::encodeName(QDir::toNativeSeparators(folder)).toStdString();
}

bool BackupBeforeUpload() {
  if (g_unsavedSetting) return *g_unsavedSetting;
  return QSettings(SettingsFile(), QSettings::IniFormat).value(kBackupKey, true).toBool();
}

bool SetBackupBeforeUpload(bool on) {
  QSettings settings(SettingsFile(), QSettings::IniFormat);
  settings.setValue(kBackupKey, on);
  settings.sync();
  if (settings.status() == QSettings::NoError) {
    g_unsavedSetting.reset();
    return true;
  }
  g_unsavedSetting = on;
  return false;
}
