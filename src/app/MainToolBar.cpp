// The toolbar and its search box.
#include "app/MainToolBar.h"

#include <QAction>
#include <QLineEdit>

#include "app/Icons.h"
#include "strings/StringIds.h"
#include "ui/CommandIds.h"
#include "ui/CommandTable.h"
#include "ui/MenuBuilder.h"
#include "ui/MenuResources.h"
#include "ui/QtText.h"

CMainToolBar::CMainToolBar(QWidget* parent) : QToolBar(parent) {
  setObjectName(QStringLiteral("toolbar128"));
  setAccessibleName(QStringLiteral("ツール バー"));
  setMovable(true);
  setFloatable(true);
  setAllowedAreas(Qt::AllToolBarAreas);
  setIconSize(QSize(16, 15));
  for (int id : ToolbarCommands()) {
    if (id == 0) {
      addSeparator();
      continue;
    }
    QAction* action = addAction(CommandIcon(id), TooltipText(id));
    action->setProperty(kCommandIdProperty, id);
    const QString tooltip = TooltipText(id);
    action->setToolTip(tooltip);
    action->setStatusTip(PromptText(id));
    if (tooltip.isEmpty()) action->setText(PromptText(id));
    action->setCheckable(CommandOf(id).choice);
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    m_actions.insert(id, action);
  }
  AddFindBox();
}

void CMainToolBar::AddFindBox() {
  m_pFindBox = new QLineEdit(this);
  m_pFindBox->setPlaceholderText(Text(IDS_FIND_BOX_NAME));
  m_pFindBox->setAccessibleName(Text(IDS_FIND_BOX_NAME));
  m_pFindBox->setToolTip(TooltipText(ID_EDIT_FIND));
  m_pFindBox->setStatusTip(PromptText(ID_EDIT_FIND));
  m_pFindBox->setClearButtonEnabled(true);
  m_pFindBox->setMaximumWidth(m_pFindBox->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
  m_pFindBox->setEnabled(false);
  addSeparator();
  addWidget(m_pFindBox);
  connect(m_pFindBox, &QLineEdit::textEdited, this, &CMainToolBar::findTextEdited);
}

void CMainToolBar::ShowFindText(const QString& text) {
  if (m_pFindBox->text().trimmed() != text) m_pFindBox->setText(text);
}

void CMainToolBar::UpdateStates(const std::function<CommandState(int)>& query) {
  for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
    const CommandState state = query(it.key());
    it.value()->setEnabled(state.enabled);
    if (it.value()->isCheckable()) it.value()->setChecked(state.checked);
    it.value()->setToolTip(state.label.isEmpty() ? TooltipText(it.key()) : state.label);
  }
}
