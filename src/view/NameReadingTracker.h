// The reading of the entry dialog's name as the user composes it with an input method:
// the kana of each committed segment, kept with the characters it became, so that the
// reading can be rebuilt after any edit of the name. Editing the name keeps the segments
// it leaves untouched (shifted where text before them changed); a segment the edit
// touches is dropped. While every character of the name lies in a kept segment or is
// kana itself, the name has a reading; as soon as one character has none (typed without
// the input method, pasted, or left from a segment the edit cut into), it has none, and
// the dialog stops filling until that character is gone again.
#pragma once

#include <QString>

#include <optional>
#include <vector>

class CNameReadingTracker {
 public:
  // The name the dialog opened with: none of its characters has a known reading (but kana).
  void Reset(const QString& name);
  // The pre-edit text of a running composition; the last one written in kana alone is the
  // reading of what the composition will commit.
  void NotePreedit(const QString& preedit);
  // The composition's result, to be inserted at character position `at` by the name's next
  // change. `moreToCome`: the input method keeps composing the rest of what it was
  // given, so the kana seen belong partly to text not committed yet and are not used.
  void NoteCommit(const QString& commit, int at, bool moreToCome);
  // The name's text after any change.
  void NameChanged(const QString& name);
  // The name's reading in kana, as composed; none while a character has no known reading.
  std::optional<QString> Reading() const;

 private:
  struct Segment {
    int start;
    int length;
    QString kana;
  };

  QString m_name;
  std::vector<Segment> m_segments;  // in name order, never overlapping
  QString m_preeditKana;            // the running composition's kana
  QString m_commit;                 // the committed text the next change inserts ...
  QString m_commitKana;             // ... its kana (empty: unknown) ...
  int m_commitAt = -1;              // ... and where; -1: no commit pending
};
