// The reading of kana typed through an input method: hiragana and full-width katakana
// turned into half-width katakana by the system's tables.
#pragma once

#include <QString>

// True when `text` is not empty and every character is a kana (hiragana, katakana,
// half-width katakana, the prolonged-sound and voiced-sound marks).
bool IsKanaText(const QString& text);

// `text` with hiragana turned into katakana and full-width forms into half-width ones.
QString ToHalfWidthKatakana(const QString& text);
