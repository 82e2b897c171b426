// The toolbar.
#include "app/MainToolBar.h"

#include <QAction>
#include <QRegularExpression>

#include "app/Icons.h"
#include "strings/StringIds.h"
#include "ui/CommandIds.h"
#include "ui/CommandTable.h"
#include "ui/MenuBuilder.h"
#include "ui/MenuResources.h"
#include "ui/QtText.h"

namespace {

// What a button is called: the command's tooltip, or for a command with only a prompt its
// menu words without the mnemonic.
QString ButtonName(int id) {
  const QString tooltip = TooltipText(id);
  if (!tooltip.isEmpty()) return tooltip;
  QString words = QString::fromUtf8(CommandOf(id).text);
  words = words.left(words.indexOf(QLatin1Char('\t')));
  return words.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
}

constexpr const char* kTooltipProperty = "defaultTooltip";

}  // namespace

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
    // A screen reader reads the button's name and then its tooltip, the prompt when the
    // command has no tooltip of its own.
    QAction* action = addAction(CommandIcon(id), ButtonName(id));
    action->setProperty(kCommandIdProperty, id);
    const QString tooltip = TooltipText(id).isEmpty() ? PromptText(id) : TooltipText(id);
    action->setProperty(kTooltipProperty, tooltip);
    action->setToolTip(tooltip);
    action->setStatusTip(PromptText(id));
    action->setCheckable(CommandOf(id).choice);
    connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
    m_actions.insert(id, action);
  }
}

void CMainToolBar::UpdateStates(const std::function<CommandState(int)>& query) {
  for (auto it = m_actions.begin(); it != m_actions.end(); ++it) {
    const CommandState state = query(it.key());
    it.value()->setEnabled(state.enabled);
    if (it.value()->isCheckable()) it.value()->setChecked(state.checked);
    it.value()->setToolTip(state.label.isEmpty() ? it.value()->property(kTooltipProperty).toString()
                                                 : state.label);
  }
}
