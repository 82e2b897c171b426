// A phonebook's undo history: recording steps from the store's notes and replaying them.
#include "doc/PhonebookHistory.h"

#include <QUndoCommand>

#include "phonebook/DbPhoneCtrl.h"

namespace {

// One recorded step. It knows whether its changes are in the store (it starts done, since
// it is recorded after the fact), so undo and redo each replay at most once and a replay
// that failed leaves it where it was.
class CRecordedStep : public QUndoCommand {
 public:
  CRecordedStep(CDbPhoneCtrl& store, const QString& name, StoreChangeLog log)
      : QUndoCommand(name), m_store(store), m_log(std::move(log)) {}

  void undo() override { Replay(true); }
  void redo() override { Replay(false); }

  bool IsDone() const { return m_bDone; }
  ReplayResult LastResult() const { return m_lastResult; }
  const StoreChangeLog& Log() const { return m_log; }

 private:
  void Replay(bool backwards) {
    if (m_bDone != backwards) return;  // already so: the stack's redo when it is pushed
    m_lastResult = ReplayChanges(m_store, m_log, backwards);
    if (m_lastResult == ReplayResult::Replayed) m_bDone = !backwards;
  }

  CDbPhoneCtrl& m_store;
  StoreChangeLog m_log;                          // what the step changed, in order
  bool m_bDone = true;                           // its changes are in the store
  ReplayResult m_lastResult = ReplayResult::Replayed;
};

}  // namespace

CPhonebookHistory::CPhonebookHistory(CDbPhoneCtrl& store, QObject* parent)
    : QObject(parent), m_store(store) {
  m_stack.setUndoLimit(kStepLimit);
  connect(&m_stack, &QUndoStack::cleanChanged, this, &CPhonebookHistory::cleanChanged);
}

CPhonebookHistory::Step::Step(CPhonebookHistory& history, const QString& name)
    : m_pHistory(history.m_store.ChangeLog() ? nullptr : &history), m_strName(name) {
  if (m_pHistory) m_pHistory->m_store.SetChangeLog(&m_log);
}

CPhonebookHistory::Step::~Step() {
  if (!m_pHistory) return;
  m_pHistory->m_store.SetChangeLog(nullptr);
  if (m_log.empty()) return;
  m_pHistory->m_stack.push(new CRecordedStep(m_pHistory->m_store, m_strName, std::move(m_log)));
}

CPhonebookHistory::Replay CPhonebookHistory::Move(bool backwards) {
  const int index = backwards ? m_stack.index() - 1 : m_stack.index();
  if (index < 0 || index >= m_stack.count()) return {};
  const auto* step = static_cast<const CRecordedStep*>(m_stack.command(index));
  const bool doneBefore = step->IsDone();
  if (backwards) m_stack.undo();
  else m_stack.redo();
  if (step->IsDone() == doneBefore) {
    // The replay failed and the step is where it was: the stack goes back to it without
    // replaying anything.
    if (backwards) m_stack.redo();
    else m_stack.undo();
    return {step->LastResult(), {}};
  }
  return {ReplayResult::Replayed, EntriesBroughtIn(step->Log(), backwards)};
}
