// Command handlers bound by id.
#include "ui/CommandHandlers.h"

#include <algorithm>
#include <cassert>

#include "ui/CommandTable.h"

void CCommandHandlers::Bind(int id, Run run) {
  BindState(id, [](CommandState& state) { state.enabled = true; }, std::move(run));
}

void CCommandHandlers::BindWhen(int id, std::function<bool()> enabled, Run run) {
  BindState(id, [enabled = std::move(enabled)](CommandState& state) { state.enabled = enabled(); },
            std::move(run));
}

void CCommandHandlers::BindState(int id, std::function<void(CommandState&)> state, Run run) {
  assert(!Find(id) && "a command is bound once");
  m_handlers.push_back(Handler{id, std::move(state), std::move(run)});
}

const CCommandHandlers::Handler* CCommandHandlers::Find(int id) const {
  const auto handler = std::find_if(m_handlers.begin(), m_handlers.end(),
                                    [id](const Handler& each) { return each.id == id; });
  return handler == m_handlers.end() ? nullptr : &*handler;
}

bool CCommandHandlers::OnUpdateCommand(int id, CommandState& state) {
  const Handler* handler = Find(id);
  if (!handler) return false;
  handler->state(state);
  state.radio = CommandOf(id).choice;
  return true;
}

bool CCommandHandlers::OnCommand(int id) {
  const Handler* handler = Find(id);
  if (!handler) return false;
  handler->run();
  return true;
}
