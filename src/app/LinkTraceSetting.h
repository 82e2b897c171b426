// The editor's link trace setting (通信 → 通信ログを記録): off by default, kept between runs,
// and while on every phonebook's transfers add their steps and bytes to one trace file.
#pragma once

#include <QString>

class CCommandHandlers;

// The file the trace goes to: "link-trace.txt" in the editor's own data folder.
QString LinkTraceFilePath();
// Applies the saved setting and binds the menu command that turns it on and off.
void BindLinkTraceSetting(CCommandHandlers& commands);
