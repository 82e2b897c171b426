// Between the two sessions of an upload that backs the handset's phonebook up: the image
// the first session downloaded is kept as a backup, and the user sees what the upload
// changes on the handset and decides.
#pragma once

#include <string>

class CUtilityDoc;
class QWidget;

// Keeps `document`'s last downloaded image as a backup and shows the preview (the
// messages owned by `owner`). True when the user chose to upload; `backupName` then names
// the backup. False, after the message, when the backup could not be written or the
// phonebook's image built; false without a word when the user cancelled.
bool BackUpAndPreview(CUtilityDoc& document, QWidget* owner, std::string& backupName);
