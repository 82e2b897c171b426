// Conversions between the program's texts and Qt strings: string-table texts (UTF-8) and
// phonebook texts (code page 932 bytes).
#pragma once

#include <QString>

#include <string>
#include <string_view>

// The string-table text of `id`.
QString Text(int id);
// The status-bar prompt and the tooltip of a command.
QString PromptText(int id);
QString TooltipText(int id);

QString FromCp932(std::string_view bytes);
// `lossless`, when given, is set false when a character has no code page 932 form.
std::string ToCp932(const QString& text, bool* lossless = nullptr);

// Field `index` of a "\n"-separated resource string (the document template).
QString ResourceField(int id, int index);
