// The view's search: the filter, the matches per kana row and the field above the list.
#include "view/ListFind.h"

#include <QTabBar>

#include "doc/UtilityDoc.h"
#include "phonebook/ReadingOrder.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "view/FindBar.h"
#include "view/PhoneList.h"

CListFind::CListFind(CUtilityDoc* document, CPhonebookLists& lists, CFindBar* bar, QObject* parent)
    : QObject(parent), m_pDoc(document), m_lists(lists), m_pFindBar(bar) {
  connect(m_pFindBar, &CFindBar::textChanged, this, &CListFind::SetFindText);
  connect(m_pFindBar, &CFindBar::closeRequested, this, &CListFind::EndFind);
  connect(m_pFindBar, &CFindBar::listRequested, this, [this] {
    CPhoneList* list = m_lists.CurrentList();
    if (list->SelectedCount() == 0) list->SelectRow(0);
    list->setFocus();
  });
  connect(&m_lists, &CPhonebookLists::refilled, this, &CListFind::CountMatches);
  connect(&m_lists, &CPhonebookLists::displayModeChanged, this, &CListFind::ShowATabWithMatches);
}

void CListFind::OnEditFind() { m_pFindBar->Open(); }

void CListFind::SetFindText(const QString& text) {
  if (!text.trimmed().isEmpty()) m_pFindBar->show();
  m_pFindBar->SetText(text);
  const CEntryFilter filter(text);
  if (filter.Text() == m_filter.Text()) return;
  ApplyFilter(filter);
  m_lists.Refill(m_lists.CurrentRow());
  ShowATabWithMatches();
  emit commandStateChanged();
}

void CListFind::ShowATabWithMatches() {
  if (m_lists.Mode() != KanaOrder || !IsFinding() || m_matchCounts[m_lists.CurrentRow()] > 0)
    return;
  for (int row = 0; row < CPhonebookLists::kKanaRowCount; ++row) {
    if (m_matchCounts[row] == 0) continue;
    m_lists.Refill(m_lists.SelectTab(row));
    return;
  }
}

void CListFind::EndFind() {
  const bool wasFinding = IsFinding();
  DropFilter();
  if (wasFinding) m_lists.Refresh();
  m_lists.CurrentList()->setFocus();
}

void CListFind::DropFilter() {
  m_pFindBar->SetText(QString());
  m_pFindBar->hide();
  if (IsFinding()) ApplyFilter(CEntryFilter());
}

void CListFind::ApplyFilter(const CEntryFilter& filter) {
  m_filter = filter;
  m_lists.SetFilter(filter);
  m_matchCounts.fill(0);
  MarkTabsWithoutMatch();
  m_pFindBar->SetSummary(FindSummary());
}

void CListFind::CountMatches() {
  if (!IsFinding()) return;
  m_matchCounts.fill(0);
  if (m_lists.Mode() == NumberOrder) {
    // The number list has just taken in every match.
    const CPhoneListModel& model = *m_lists.NumberList()->Model();
    for (int row = 0; row < model.rowCount(); ++row)
      ++m_matchCounts[KanaRowOfFirstByte(model.ItemBytes(row, FieldReading))];
  } else {
    std::vector<PhonebookEntry> entries;
    // A phonebook that cannot be read shows no matches; its list stays empty as well.
    if (m_pDoc->Store().ListEntries(KanaRowAll, SortByNumber, true, entries) == StoreResult::Ok) {
      for (const PhonebookEntry& entry : entries)
        if (m_filter.Matches(entry)) ++m_matchCounts[KanaRowOfFirstByte(entry.reading)];
    }
  }
  MarkTabsWithoutMatch();
  m_pFindBar->SetSummary(FindSummary());
}

void CListFind::MarkTabsWithoutMatch() {
  QTabBar* tabs = m_lists.TabStrip();
  const QColor greyed = tabs->palette().color(QPalette::Disabled, QPalette::WindowText);
  for (int row = 0; row < CPhonebookLists::kKanaRowCount; ++row) {
    const bool noMatch = IsFinding() && m_matchCounts[row] == 0;
    tabs->setTabTextColor(row, noMatch ? greyed : QColor());
    tabs->setTabToolTip(row, noMatch ? Text(IDS_FIND_NO_MATCH) : QString());
  }
}

QString CListFind::FindSummary() const {
  if (!IsFinding()) return {};
  int total = 0;
  for (int count : m_matchCounts) total += count;
  return total == 0 ? Text(IDS_FIND_NO_MATCH) : Text(IDS_FIND_MATCHES).arg(total);
}

void CListFind::RevealEntries(const std::vector<PhonebookEntry>& entries) {
  for (const PhonebookEntry& entry : entries) {
    if (m_filter.Matches(entry)) continue;
    DropFilter();
    return;
  }
}

void CListFind::BindCommands(CCommandHandlers& commands) {
  commands.Bind(ID_EDIT_FIND, [this] { OnEditFind(); });
}
