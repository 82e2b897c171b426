// What the editor and the command line say when a file or the work folder fails them: one
// mapping from the operating system's reasons to the string table's texts, so that both
// programs give the same message for the same failure. Texts are UTF-8.
#pragma once

#include <string>

class CDbPhoneCtrl;
struct FolderTrouble;

// The framework's text (a string id taking the path as "%1") for a file that could not be
// read: not found, in use, or an unexpected error.
int ReadFailureTextId(int error);

// Why a file could not be read, for the line after that text: the operating system's
// reason, or that the file changed while it was read.
std::string ReadFailureCause(int error);

// The same for a file that could not be written: in use or read-only, not a file, an
// owner that cannot be kept, a folder that could not be synced, or an unexpected error.
int WriteFailureTextId(int error);

// The system's reason for a failed write (as strerror gives it), to follow the text of
// WriteFailureTextId; empty for the save's own outcomes, whose texts say all there is.
std::string WriteFailureReason(int error);

// Why a phonebook's entries could not be stored: the line naming the store's work folder,
// then the folder with the operating system's reason when `error` is set.
std::string StoreFailureDetail(const CDbPhoneCtrl& store, int error);

// The line naming a work folder that cannot be used and why; empty when `trouble` holds
// none.
std::string UnusableFolderText(const FolderTrouble& trouble);
