// Cut, copy and paste of phonebook rows.
#include "view/ClipboardCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QWidget>

#include "doc/DocumentMessages.h"
#include "doc/UtilityDoc.h"
#include "files/ClipboardText.h"
#include "strings/StringIds.h"
#include "ui/CommandHandlers.h"
#include "ui/CommandIds.h"
#include "ui/QtText.h"
#include "ui/UserPrompts.h"
#include "view/EntryCommands.h"
#include "view/ListFind.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/RowSelection.h"

namespace {

// The private clipboard format: the clipboard text as code page 932 bytes.
const QString kRowsMimeType = QStringLiteral("application/x-qvbook-rows-cp932");

}  // namespace

CClipboardCommands::CClipboardCommands(CUtilityDoc* document, CPhonebookLists& lists,
                                       CListFind& find, CEntryCommands& entries, QWidget* view)
    : QObject(view), m_pDoc(document), m_lists(lists), m_find(find), m_entries(entries),
      m_pView(view) {
  // The clipboard is asked once per change: on X11 each question is a round trip to the
  // clipboard's owner, too slow for every pass over the command states.
  OnClipboardChanged();
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
          &CClipboardCommands::OnClipboardChanged);
}

void CClipboardCommands::OnClipboardChanged() {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  m_bClipboardHasText = data && data->hasText();
  emit commandStateChanged();
}

void CClipboardCommands::OnEditCopy() { CopySelectionToClipboard(); }

void CClipboardCommands::OnEditCut() {
  const auto step = m_pDoc->BeginStep(IDS_STEP_CUT);
  if (!CopySelectionToClipboard()) return;
  m_entries.DeleteSelectedRows();
  CPhoneList* list = m_lists.CurrentList();
  list->selectionModel()->clearSelection();
  list->setFocus();
}

void CClipboardCommands::OnEditPaste() {
  const auto step = m_pDoc->BeginStep(IDS_STEP_PASTE);
  std::vector<std::string> lines;
  if (ReadClipboardLines(lines)) PasteLines(lines);
}

bool CClipboardCommands::CopySelectionToClipboard() {
  const CPhoneList* list = m_lists.CurrentList();
  const CPhoneListModel* model = list->Model();
  std::vector<std::vector<std::string>> rows;
  // Top to bottom, so the rows keep the list's order.
  for (int row : SelectedRows(list->selectionModel()->selection())) {
    std::vector<std::string>& texts = rows.emplace_back();
    for (int column = 0; column < CPhoneListModel::kColumnCount; ++column)
      texts.push_back(model->ItemBytes(row, column));
  }
  const ClipboardHeader header{m_lists.CurrentRow(), m_lists.Mode() == KanaOrder ? 1 : 0};
  const std::string bytes = BuildClipboardText(header, rows);
  auto* data = new QMimeData;
  data->setText(FromCp932(bytes));
  data->setData(kRowsMimeType, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  QApplication::clipboard()->setMimeData(data);
  return true;
}

bool CClipboardCommands::ReadClipboardLines(std::vector<std::string>& lines) {
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return false;
  if (data->hasFormat(kRowsMimeType)) {
    const QByteArray bytes = data->data(kRowsMimeType);
    lines = SplitClipboardLines(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return true;
  }
  // Characters without a code page 932 form become '?', which the field rules then
  // filter or keep as any other byte.
  lines = SplitClipboardLines(ToCp932(data->text()));
  return true;
}

void CClipboardCommands::PasteLines(const std::vector<std::string>& lines) {
  const PasteOutcome outcome = PasteClipboardLines(m_pDoc->Store(), lines);
  ShowImportResult(m_pView, outcome.summary, {}, m_pDoc->Store());
  if (outcome.pastedNumbers.empty()) return;  // refused, failed (nothing was pasted) or no rows
  m_find.DropFilter();  // the search could hide pasted rows

  // Bring the pasted rows into view: rows copied from the number list go back to it;
  // otherwise the tab strip (also while it is hidden) moves to the kana row of the first
  // pasted row, so that the kana list shows it whatever the header says. The list is
  // refilled in every case, so the new rows are there.
  if (m_lists.Mode() == KanaOrder && outcome.header.displayFlag == 0) {
    m_lists.OnNumberOrder();
  } else {
    m_lists.SelectTabOfReading(outcome.firstReading);
    m_lists.Refresh();
  }
  m_pDoc->SetModifiedFlag();
  m_lists.CurrentList()->SelectNumbers(outcome.pastedNumbers);
  emit commandStateChanged();
  emit rowsPasted();
}

void CClipboardCommands::BindCommands(CCommandHandlers& commands) {
  CPhonebookLists& lists = m_lists;
  const auto anySelected = [&lists] { return lists.CurrentList()->SelectedCount() >= 1; };
  commands.BindWhen(ID_EDIT_CUT, anySelected, [this] { OnEditCut(); });
  commands.BindWhen(ID_EDIT_COPY, anySelected, [this] { OnEditCopy(); });
  commands.BindWhen(ID_EDIT_PASTE, [this] { return m_bClipboardHasText; }, [this] { OnEditPaste(); });
}
