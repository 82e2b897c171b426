// The undo history of one phonebook, on the toolkit's undo stack. Each change is one step
// that holds only what it changed: the entries it removed and those it added, as the store
// noted them while the step was open. Undo and redo replay a step's notes in one store
// batch; a replay that fails leaves both the phonebook and the history as they were.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <vector>

#include "phonebook/StoreChangeLog.h"

class CDbPhoneCtrl;

class CPhonebookHistory : public QObject {
  Q_OBJECT

 public:
  static constexpr int kStepLimit = 100;  // the oldest steps beyond this are forgotten

  explicit CPhonebookHistory(CDbPhoneCtrl& store, QObject* parent = nullptr);

  // While a Step lives, the store notes what its kept writes change; when it ends, the
  // notes become one step named `name` (nothing, when the writes changed nothing or were
  // all undone). A step begun inside a running one belongs to the running one.
  class [[nodiscard]] Step {
   public:
    ~Step();
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

   private:
    friend class CPhonebookHistory;
    Step(CPhonebookHistory& history, const QString& name);

    CPhonebookHistory* m_pHistory;  // null for a step inside another
    QString m_strName;
    StoreChangeLog m_log;           // the store notes here while the step runs
  };
  Step Begin(const QString& name) { return Step(*this, name); }

  struct Replay {
    ReplayResult result = ReplayResult::Replayed;
    std::vector<PhonebookEntry> broughtIn;  // the entries the replay put into the phonebook
  };
  // Takes the last step back, or makes the last step taken back again. Nothing happens
  // (and the result is Replayed, bringing in nothing) when there is no such step.
  Replay Undo() { return Move(true); }
  Replay Redo() { return Move(false); }

  bool CanUndo() const { return m_stack.canUndo(); }
  bool CanRedo() const { return m_stack.canRedo(); }
  // The name of the step Undo or Redo would replay; empty when there is none.
  QString UndoName() const { return m_stack.undoText(); }
  QString RedoName() const { return m_stack.redoText(); }
  int Count() const { return m_stack.count(); }

  // The phonebook as it is now is the saved one; the history says when it is back there.
  void SetClean() { m_stack.setClean(); }

 signals:
  void cleanChanged(bool clean);

 private:
  Replay Move(bool backwards);

  CDbPhoneCtrl& m_store;
  QUndoStack m_stack;
};
