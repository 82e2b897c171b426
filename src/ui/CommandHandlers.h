// The commands one target handles, each bound once: what decides its state now and what
// runs it. The target answers the command router through it.
#pragma once

#include <functional>
#include <vector>

#include "ui/CommandTarget.h"

class CCommandHandlers : public ICommandTarget {
 public:
  using Run = std::function<void()>;

  // A command that is always enabled.
  void Bind(int id, Run run);
  // A command that is enabled while `enabled` says so.
  void BindWhen(int id, std::function<bool()> enabled, Run run);
  // A command whose state (check mark, words of the moment) `state` fills in.
  void BindState(int id, std::function<void(CommandState&)> state, Run run);

  // The state's radio mark comes from the command table.
  bool OnUpdateCommand(int id, CommandState& state) override;
  bool OnCommand(int id) override;

 private:
  struct Handler {
    int id;
    std::function<void(CommandState&)> state;
    Run run;
  };
  const Handler* Find(int id) const;

  std::vector<Handler> m_handlers;
};
