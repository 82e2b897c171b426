// The editor's artwork, drawn in code: toolbar button images (16 x 15), the main window's
// and phonebook window's icons.
#pragma once

#include <QIcon>

QIcon CommandIcon(int commandId);
QIcon MainWindowIcon();
QIcon PhonebookIcon();
