// The editor's string table: every caption, message text, prompt and label the user
// reads, by numeric id, exactly as the program shows them. Plain C++ so that the editor
// and the command-line tool print the same words. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

enum class MessageIcon { None, Information, Warning, Error, Question };

// Texts for a phonebook whose temporary store could not be written (a full or failing
// temporary folder): the detail line naming the folder and the reason, and the import's
// and the paste's texts saying that nothing was changed.
inline constexpr int kStoreWriteFailedDetail = 230;
inline constexpr int kImportStoreFailedText = 231;
inline constexpr int kPasteStoreFailedText = 232;

// The text of string `id`; empty when the table has no such entry.
std::string_view StringText(int id);

// The part of a command string before "\n" (status-bar prompt) and after it (tooltip).
std::string_view CommandPrompt(int id);
std::string_view CommandTooltip(int id);
