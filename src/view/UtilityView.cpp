// The phonebook view.
#include "doc/DocumentExchange.h"
#include "view/UtilityView.h"
#include "doc/DocumentTransfer.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QVBoxLayout>

#include "doc/UtilityDoc.h"
#include "ui/CommandIds.h"
#include "ui/MenuBuilder.h"
#include "ui/UiTexts.h"
#include "view/ClipboardCommands.h"
#include "view/EntryCommands.h"
#include "view/FindBar.h"
#include "view/HistoryCommands.h"
#include "view/ListFind.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/DuplicateDialogQuestion.h"
#include "view/ReadingCommands.h"
#include "view/TransferRunner.h"

CUtilityView::CUtilityView(CUtilityDoc* document, QWidget* parent)
    : QWidget(parent), m_pDoc(document) {
  setAccessibleName(QString::fromUtf8(UiText::kViewName));
  m_pLists = new CPhonebookLists(m_pDoc, this);
  auto* findBar = new CFindBar(this);
  findBar->hide();
  m_pFind = new CListFind(m_pDoc, *m_pLists, findBar, this);
  m_pEntries = new CEntryCommands(m_pDoc, *m_pLists, *m_pFind, this);
  m_pClipboard = new CClipboardCommands(m_pDoc, *m_pLists, *m_pFind, *m_pEntries, this);
  m_pHistory = new CHistoryCommands(m_pDoc, *m_pLists, *m_pFind, this);
  m_pReadings = new CReadingCommands(m_pDoc, *m_pLists, this);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(findBar);
  m_pLists->PlaceIn(*layout);
  WatchList(m_pLists->KanaList());
  WatchList(m_pLists->NumberList());
  setFocusPolicy(Qt::StrongFocus);

  connect(m_pDoc, &CUtilityDoc::updateViews, this, &CUtilityView::OnUpdate);
  connect(m_pLists, &CPhonebookLists::commandStateChanged, this, &CUtilityView::commandStateChanged);
  connect(m_pFind, &CListFind::commandStateChanged, this, &CUtilityView::commandStateChanged);
  connect(m_pEntries, &CEntryCommands::commandStateChanged, this, &CUtilityView::commandStateChanged);
  connect(m_pClipboard, &CClipboardCommands::commandStateChanged, this,
          &CUtilityView::commandStateChanged);
  connect(m_pHistory, &CHistoryCommands::commandStateChanged, this, &CUtilityView::commandStateChanged);
  connect(m_pReadings, &CReadingCommands::commandStateChanged, this, &CUtilityView::commandStateChanged);
  // Entries that arrive without a reading: the user is told the fill command exists.
  connect(m_pDoc, &CUtilityDoc::entriesArrived, m_pReadings, &CReadingCommands::TellOfEntriesWithoutReading);
  connect(m_pClipboard, &CClipboardCommands::rowsPasted, m_pReadings,
          &CReadingCommands::TellOfEntriesWithoutReading);
  connect(&m_pDoc->Transfer(), &CDocumentTransfer::transferStateChanged, this, &CUtilityView::commandStateChanged);
  m_pTransfers = std::make_unique<CTransferRunner>(m_pDoc, this);
  static CDuplicateDialogQuestion duplicateDialog;  // holds nothing: every view shares it
  m_pDoc->Exchange().SetDuplicateQuestion(&duplicateDialog);
  BindCommands();
}

CUtilityView::~CUtilityView() = default;

void CUtilityView::BindCommands() {
  m_pLists->BindCommands(m_commands);
  m_pFind->BindCommands(m_commands);
  m_pEntries->BindCommands(m_commands);
  m_pClipboard->BindCommands(m_commands);
  m_pHistory->BindCommands(m_commands);
  m_pReadings->BindCommands(m_commands);
  m_pTransfers->BindCommands(m_commands);
  // The document writes the file; the view knows which rows are selected.
  m_commands.Bind(ID_FILE_EXPORT, [this] {
    m_pDoc->Exchange().OnFileExport(m_pLists->CurrentList()->SelectedNumbers());
  });
}

void CUtilityView::WatchList(QTableView* list) {
  list->installEventFilter(this);
  list->viewport()->installEventFilter(this);
}

void CUtilityView::OnUpdate() { m_pLists->Refresh(); }

bool CUtilityView::OnUpdateCommand(int id, CommandState& state) {
  return m_commands.OnUpdateCommand(id, state);
}

bool CUtilityView::OnCommand(int id) { return m_commands.OnCommand(id); }

std::unique_ptr<QMenu> CUtilityView::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  menu->setAccessibleName(QString::fromUtf8(UiText::kContextMenuName));
  // The chosen command goes to the view, which hands on those it does not handle itself.
  AddMenuItems(*menu, MenuResource(IDR_CONTEXT_MENU).front(), [this](int id) {
    if (!OnCommand(id)) m_pDoc->Commands().OnCommand(id);
  });
  for (QAction* action : menu->actions()) {
    const int id = CommandIdOf(action);
    if (id == 0) continue;
    CommandState state;
    OnUpdateCommand(id, state);
    state.radio = false;  // the context menu shows check marks
    ApplyMenuState(*action, state);
  }
  return menu;
}

void CUtilityView::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
}

void CUtilityView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  m_pLists->CurrentList()->setFocus();
}

bool CUtilityView::eventFilter(QObject* watched, QEvent* event) {
  const CPhoneList* kana = m_pLists->KanaList();
  const CPhoneList* number = m_pLists->NumberList();
  const bool isList = watched == kana || watched == number;
  const bool isViewport = watched == kana->viewport() || watched == number->viewport();
  if (isList && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    const int selected = m_pLists->CurrentList()->SelectedCount();
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
      if (selected >= 1) m_pEntries->OnDeleteEntry();
      return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (selected == 1) m_pEntries->OnEditEntry();
      return true;
    }
    if (key->key() == Qt::Key_Escape && m_pFind->IsFinding()) {
      m_pFind->EndFind();
      return true;
    }
  }
  if (isViewport && event->type() == QEvent::MouseButtonDblClick) {
    const int selected = m_pLists->CurrentList()->SelectedCount();
    if (selected == 0) m_pEntries->OnAddEntry();
    else if (selected == 1) m_pEntries->OnEditEntry();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
