// Texts that explain a failure beyond the message box's own words, shared by the editor
// and the command line so that both say the same thing. UTF-8.
#pragma once

#include <string>

class CDbPhoneCtrl;

// Why a phonebook's entries could not be stored: the string-table line naming the store's
// temporary folder, then the folder with the operating system's reason when `error` is set.
std::string StoreFailureDetail(const CDbPhoneCtrl& store, int error);
