// Menus from the menu layouts and the command table.
#include "ui/MenuBuilder.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "ui/CommandTable.h"
#include "ui/QtText.h"

void AddMenuItems(QMenu& menu, const PopupDef& popup, const std::function<void(int)>& onCommand) {
  for (const int id : popup.items) {
    if (id == 0) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromUtf8(CommandOf(id).text));
    action->setProperty(kCommandIdProperty, id);
    action->setProperty(kMenuTextProperty, action->text());
    action->setStatusTip(PromptText(id));
    QObject::connect(action, &QAction::triggered, &menu, [onCommand, id] { onCommand(id); });
  }
}

int CommandIdOf(const QAction* action) {
  return action ? action->property(kCommandIdProperty).toInt() : 0;
}

void ApplyMenuState(QAction& action, const CommandState& state) {
  action.setEnabled(state.enabled);
  if (!state.label.isEmpty()) {
    // The words change; the shortcut and the mnemonic that follow them stay.
    const QString text = action.property(kMenuTextProperty).toString();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    action.setText(state.label + (tab < 0 ? QString() : text.mid(tab)));
  }
  // A radio mark is drawn for an exclusive group member; a lone group per item is enough.
  if (state.radio && !action.actionGroup()) {
    auto* group = new QActionGroup(&action);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    group->addAction(&action);
  }
  action.setCheckable(state.checked || state.radio || action.actionGroup());
  action.setChecked(state.checked);
}
