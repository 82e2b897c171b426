// What every widget test of the editor sets up and takes down: a private store environment
// (five slots of its own, never the editor's), message boxes and dialogs answered by
// `Prompts`, and what the test opens: a phonebook window's document and view, or the whole
// application with a single-instance lock of its own. A test class derives from it and
// calls SetUpEditor and TearDownEditor from its init and cleanup slots.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <map>
#include <memory>
#include <vector>

#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/MainToolBar.h"
#include "app/UtilityApp.h"
#include "doc/UtilityDoc.h"
#include "phonebook/DbPhoneCtrl.h"
#include "phonebook/StoreEnvironment.h"
#include "support/FakePrompts.h"
#include "support/PhonebookFixture.h"
#include "view/ClipboardCommands.h"
#include "view/EntryCommands.h"
#include "view/HistoryCommands.h"
#include "view/InputDataDialog.h"
#include "view/ListFind.h"
#include "view/PhoneList.h"
#include "view/PhonebookLists.h"
#include "view/TransferRunner.h"
#include "view/UtilityView.h"

// A single-instance lock name no other test process uses.
inline QString UniqueLockName() {
  static int count = 0;
  return QStringLiteral("qvbook-test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++count);
}

// Adds `entries` to a phonebook in one batch and refreshes its view.
inline void PopulatePhonebook(CUtilityDoc& doc, CUtilityView& view,
                              const std::vector<PhonebookEntry>& entries) {
  CDbPhoneCtrl& store = doc.Store();
  CDbPhoneCtrl::Batch batch(store);
  for (const PhonebookEntry& entry : entries) EXPECT_STORED(store.AddEntry(entry));
  EXPECT_STORED(batch.Commit());
  view.OnUpdate();
}

// The stored entry with `number` (an empty one when there is none).
inline PhonebookEntry StoredEntry(CUtilityDoc& doc, int number) {
  PhonebookEntry entry;
  EXPECT_STORED(doc.Store().FindEntry(number, entry));
  return entry;
}

// The memory numbers of the entries in `store`, in order.
inline QList<int> Numbers(CDbPhoneCtrl& store) {
  std::vector<PhonebookEntry> entries;
  EXPECT_STORED(store.ListEntries(KanaRowAll, SortByNumber, true, entries));
  QList<int> numbers;
  for (const PhonebookEntry& entry : entries) numbers << entry.memoryNumber;
  return numbers;
}

// Every stored entry, by memory number.
inline std::vector<PhonebookEntry> StoredEntries(CUtilityDoc& doc) {
  std::vector<PhonebookEntry> entries;
  EXPECT_STORED(doc.Store().ListEntries(KanaRowAll, SortByNumber, true, entries));
  return entries;
}

// A script for the entry dialog: types into the fields (index -> text, replacing) and
// clicks OK, or 追加 when `addNext`.
inline FakePrompts::DialogScript Fill(std::map<int, QString> texts, bool addNext = false) {
  return [texts, addNext](QDialog& dialog) {
    auto& input = static_cast<CInputDataDialog&>(dialog);
    for (const auto& [field, text] : texts) input.Field(field)->setText(text);
    (addNext ? input.AddButton() : input.OkButton())->click();
    return input.result();
  };
}

// One phonebook window without the main window: its document and its view, shown.
struct Phonebook {
  explicit Phonebook(StoreEnvironment& environment)
      : doc(std::make_unique<CUtilityDoc>(environment)),
        view(std::make_unique<CUtilityView>(doc.get())) {
    view->resize(900, 500);
    view->show();
  }
  void Populate(const std::vector<PhonebookEntry>& entries) { PopulatePhonebook(*doc, *view, entries); }
  PhonebookEntry Stored(int number) { return StoredEntry(*doc, number); }

  std::unique_ptr<CUtilityDoc> doc;
  std::unique_ptr<CUtilityView> view;
};

template <typename Prompts = FakePrompts>
class EditorTest : public QObject {
 protected:
  void SetUpEditor() {
    m_environment = StoreEnvironment::CreatePrivate();
    m_prompts = std::make_unique<Prompts>();
    m_lockName = UniqueLockName();
  }

  // What the test opened goes first, then the prompts and the environment.
  void TearDownEditor() {
    m_view.reset();
    m_doc.reset();
    if (m_app && m_app->MainFrame()) {
      for (CChildFrame* child : m_app->MainFrame()->Children())
        child->GetDocument()->SetModifiedFlag(false);  // no save questions on the way out
    }
    if (m_app) m_app->ExitInstance();
    m_app.reset();
    m_prompts.reset();
    m_environment.reset();
  }

  // A phonebook window's document and view (a new pair each time), shown and holding
  // `entries`, with the modified flag as given.
  void OpenPhonebook(const std::vector<PhonebookEntry>& entries = {}, bool modified = false) {
    m_view.reset();
    m_doc.reset();
    Phonebook book(*m_environment);
    m_doc = std::move(book.doc);
    m_view = std::move(book.view);
    Populate(entries);
    m_doc->SetModifiedFlag(modified);
  }
  void Populate(const std::vector<PhonebookEntry>& entries) { PopulatePhonebook(*m_doc, *m_view, entries); }
  PhonebookEntry Stored(int number) { return StoredEntry(*m_doc, number); }

  // The application started with `arguments`; false when it refused to start.
  bool StartApp(const QStringList& arguments = {}) {
    m_app = std::make_unique<CUtilityApp>(*m_environment, m_lockName);
    return m_app->InitInstance(arguments);
  }
  CMainFrame* Frame() const { return m_app->MainFrame(); }

  std::unique_ptr<StoreEnvironment> m_environment;
  std::unique_ptr<Prompts> m_prompts;
  std::unique_ptr<CUtilityDoc> m_doc;
  std::unique_ptr<CUtilityView> m_view;
  std::unique_ptr<CUtilityApp> m_app;
  QString m_lockName;  // the application's single-instance lock
};
