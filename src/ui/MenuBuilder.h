// Builds Qt menus from the menu layouts; every item carries its command id and shows
// the command table's words.
#pragma once

#include <functional>

#include "ui/CommandTarget.h"
#include "ui/MenuResources.h"

class QAction;
class QMenu;

inline constexpr const char* kCommandIdProperty = "commandId";
inline constexpr const char* kMenuTextProperty = "menuText";  // the item's text in its table

// Adds the items of `popup` to `menu`; choosing one calls `onCommand` with its id.
void AddMenuItems(QMenu& menu, const PopupDef& popup, const std::function<void(int)>& onCommand);

// The command id an action carries, 0 for none.
int CommandIdOf(const QAction* action);

// Shows `state` on a menu item: enabled, a check or radio mark, and its words of the moment.
void ApplyMenuState(QAction& action, const CommandState& state);
