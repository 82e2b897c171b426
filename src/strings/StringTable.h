// The editor's string table: every caption, message text, prompt and label the user
// reads, by numeric id, exactly as the program shows them. Plain C++ so that the editor
// and the command-line tool print the same words. Texts are UTF-8.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

enum class MessageIcon { None, Information, Warning, Error, Question };

// The text of string `id`; empty when the table has no such entry.
std::string_view StringText(int id);

// The text of string `id` with "%1", "%2", ... replaced by `arguments` in order.
std::string FormatText(int id, std::initializer_list<std::string_view> arguments);

// The part of a command string before "\n" (status-bar prompt) and after it (tooltip).
std::string_view CommandPrompt(int id);
std::string_view CommandTooltip(int id);
