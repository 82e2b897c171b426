// The application's commands around the handset's backups: the list from which one is
// opened as a phonebook window or uploaded, and the setting that makes uploads take them.
#pragma once

class CCommandHandlers;
class CUtilityApp;

void BindBackupCommands(CCommandHandlers& commands, CUtilityApp& app);
