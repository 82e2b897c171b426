// The view's search: the field above the list filters both lists as the user types, the
// kana tabs show which rows hold matches, and Delete all takes the rows the search shows.
#include <QTabBar>
#include <QTableView>

#include "doc/UtilityDoc.h"
#include "phonebook/ReadingOrder.h"
#include "strings/StringIds.h"
#include "ui/QtText.h"
#include "view/FindBar.h"
#include "view/UtilityView.h"

void CUtilityView::OnEditFind() { m_pFindBar->Open(); }

void CUtilityView::SetFindText(const QString& text) {
  if (!text.trimmed().isEmpty()) m_pFindBar->show();
  m_pFindBar->SetText(text);
  const CEntryFilter filter(text);
  if (filter.Text() == m_filter.Text()) return;
  ApplyFilter(filter);
  RefillCurrentList(CurrentRow());
  ShowATabWithMatches();
  emit commandStateChanged();
}

void CUtilityView::ShowATabWithMatches() {
  if (m_displayMode != KanaOrder || !IsFinding() || m_matchCounts[CurrentRow()] > 0) return;
  for (int row = 0; row < kKanaRowCount; ++row) {
    if (m_matchCounts[row] == 0) continue;
    const QSignalBlocker quiet(m_pTabBar);
    m_pTabBar->setCurrentIndex(row);
    RefillCurrentList(row);
    return;
  }
}

void CUtilityView::EndFind() {
  const bool wasFinding = IsFinding();
  DropFilter();
  if (wasFinding) OnUpdate();
  CurrentList()->setFocus();
}

void CUtilityView::DropFilter() {
  m_pFindBar->SetText(QString());
  m_pFindBar->hide();
  if (IsFinding()) ApplyFilter(CEntryFilter());
}

void CUtilityView::ApplyFilter(const CEntryFilter& filter) {
  m_filter = filter;
  m_pKanaModel->SetFilter(filter);
  m_pNumberModel->SetFilter(filter);
  m_matchCounts.fill(0);
  MarkTabsWithoutMatch();
  m_pFindBar->SetSummary(FindSummary());
  emit findTextChanged(filter.Text());
}

void CUtilityView::UpdateMatchCounts() {
  m_matchCounts.fill(0);
  if (m_displayMode == NumberOrder) {
    // The number list has just taken in every match.
    for (int row = 0; row < m_pNumberModel->rowCount(); ++row)
      ++m_matchCounts[KanaRowOfFirstByte(m_pNumberModel->ItemBytes(row, FieldReading))];
  } else {
    std::vector<PhonebookEntry> entries;
    // A phonebook that cannot be read shows no matches; its list stays empty as well.
    if (m_pDoc->Store().ListEntries(KanaRowAll, SortByNumber, true, entries) == StoreOk) {
      for (const PhonebookEntry& entry : entries)
        if (m_filter.Matches(entry)) ++m_matchCounts[KanaRowOfFirstByte(entry.reading)];
    }
  }
  MarkTabsWithoutMatch();
  m_pFindBar->SetSummary(FindSummary());
}

void CUtilityView::MarkTabsWithoutMatch() {
  const QColor greyed = m_pTabBar->palette().color(QPalette::Disabled, QPalette::WindowText);
  for (int row = 0; row < kKanaRowCount; ++row) {
    const bool noMatch = IsFinding() && m_matchCounts[row] == 0;
    m_pTabBar->setTabTextColor(row, noMatch ? greyed : QColor());
    m_pTabBar->setTabToolTip(row, noMatch ? Text(IDS_FIND_NO_MATCH) : QString());
  }
}

QString CUtilityView::FindSummary() const {
  if (!IsFinding()) return {};
  int total = 0;
  for (int count : m_matchCounts) total += count;
  return total == 0 ? Text(IDS_FIND_NO_MATCH) : Text(IDS_FIND_MATCHES).arg(total);
}

void CUtilityView::RevealEntries(const std::vector<PhonebookEntry>& entries) {
  for (const PhonebookEntry& entry : entries) {
    if (m_filter.Matches(entry)) continue;
    DropFilter();
    return;
  }
}

int CUtilityView::DeleteRowsOfDeleteAll() {
  if (!IsFinding()) return m_pDoc->Store().DeleteAll();
  // While searching, the list's own rows: the entries the search shows.
  const CPhoneListModel& model = *CurrentModel();
  std::vector<std::string> numbers;
  for (int row = 0; row < model.rowCount(); ++row)
    numbers.push_back(model.ItemBytes(row, FieldMemoryNumber));
  return m_pDoc->Store().DeleteEntries(CurrentRow(), numbers);
}
