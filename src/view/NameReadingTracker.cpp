// Segments of the composed name and their kana, kept through edits.
#include "view/NameReadingTracker.h"

#include <algorithm>

#include "view/KanaReading.h"

void CNameReadingTracker::Reset(const QString& name) {
  m_name = name;
  m_segments.clear();
  m_preeditKana.clear();
  m_commitAt = -1;
}

void CNameReadingTracker::NotePreedit(const QString& preedit) {
  if (preedit.isEmpty()) m_preeditKana.clear();  // the composition ended or was cancelled
  else if (IsKanaText(preedit)) m_preeditKana = preedit;
}

void CNameReadingTracker::NoteCommit(const QString& commit, int at, bool moreToCome) {
  m_commit = commit;
  m_commitAt = at;
  // A commit written in kana is its own reading.
  m_commitKana = moreToCome ? QString() : !m_preeditKana.isEmpty() ? m_preeditKana
                                        : IsKanaText(commit)       ? commit
                                                                   : QString();
  m_preeditKana.clear();
}

void CNameReadingTracker::NameChanged(const QString& name) {
  const int oldLength = m_name.size(), newLength = name.size();
  int start = 0, oldEnd = oldLength, newEnd = newLength;
  const bool committed = m_commitAt >= 0 && m_commitAt <= newLength - m_commit.size() &&
                         name.mid(m_commitAt, m_commit.size()) == m_commit &&
                         name.left(m_commitAt) == m_name.left(m_commitAt);
  if (committed) {
    // The commit replaced what was selected at its position, if anything.
    start = m_commitAt;
    newEnd = start + m_commit.size();
    oldEnd = oldLength - (newLength - newEnd);
  } else {
    while (start < oldLength && start < newLength && m_name[start] == name[start]) ++start;
    while (oldEnd > start && newEnd > start && m_name[oldEnd - 1] == name[newEnd - 1]) --oldEnd, --newEnd;
  }
  std::vector<Segment> kept;
  for (Segment segment : m_segments) {
    if (segment.start + segment.length <= start) {
      kept.push_back(segment);
    } else if (segment.start >= oldEnd) {
      segment.start += newEnd - oldEnd;
      kept.push_back(segment);
    }
  }
  if (committed && !m_commitKana.isEmpty()) {
    const auto at = std::find_if(kept.begin(), kept.end(),
                                 [&](const Segment& segment) { return segment.start >= start; });
    kept.insert(at, {start, newEnd - start, m_commitKana});
  }
  m_segments = std::move(kept);
  m_name = name;
  m_commitAt = -1;
}

std::optional<QString> CNameReadingTracker::Reading() const {
  QString reading;
  int at = 0;
  for (const Segment& segment : m_segments) {
    const QString before = m_name.mid(at, segment.start - at);
    if (!before.isEmpty() && !IsKanaText(before)) return std::nullopt;
    reading += before + segment.kana;
    at = segment.start + segment.length;
  }
  const QString rest = m_name.mid(at);
  if (!rest.isEmpty() && !IsKanaText(rest)) return std::nullopt;
  return reading + rest;
}
