// How an import treats a row or card that an entry of the phonebook already holds (by its
// memory number, or for a vCard by its name and first phone number): the caller's resolver
// is asked until an answer carries the continue flag, and what the answers did is counted.
#pragma once

#include <string>
#include <vector>

#include "phonebook/PhonebookEntry.h"

struct ImportSummary;

// How a duplicate is treated; the numbers are the duplicate dialog's buttons, in order.
enum class DuplicateMethod {
  Overwrite = 0,  // the row replaces the stored entry
  AddOther = 1,   // the row goes under the lowest free number
  Skip = 2        // the row is left out
};

struct DuplicateChoice {
  DuplicateMethod method = DuplicateMethod::Overwrite;
  bool continueFlag = false;  // treat every later duplicate of this import the same way
};

// Asked once for each duplicate until an answer carries the continue flag.
class IDuplicateResolver {
 public:
  virtual ~IDuplicateResolver() = default;
  // `fields`: the row after the field rules (fields 1..5 are its texts when present);
  // `stored`: the entry that holds `memoryNumber`.
  virtual DuplicateChoice ResolveDuplicate(int memoryNumber,
                                           const std::vector<std::string>& fields,
                                           const PhonebookEntry& stored) = 0;
};

// Gives the same answer to every question, for scripts.
class CFixedDuplicateResolver : public IDuplicateResolver {
 public:
  explicit CFixedDuplicateResolver(DuplicateMethod method) : m_method(method) {}
  DuplicateChoice ResolveDuplicate(int, const std::vector<std::string>&,
                                   const PhonebookEntry&) override {
    return {m_method, true};
  }

 private:
  DuplicateMethod m_method;
};

// The answers of one import.
class CDuplicateAnswers {
 public:
  CDuplicateAnswers(IDuplicateResolver& resolver, ImportSummary& summary)
      : m_resolver(resolver), m_summary(summary) {}

  // True while a duplicate is still asked about: the caller needs the stored entry then.
  bool Asking() const { return !m_choice.continueFlag; }
  // What becomes of a duplicate of `stored` (which holds `memoryNumber`): the resolver's
  // answer while Asking, else the last one. Overwritten and skipped rows are counted.
  DuplicateMethod For(int memoryNumber, const std::vector<std::string>& fields,
                      const PhonebookEntry& stored);

 private:
  IDuplicateResolver& m_resolver;
  ImportSummary& m_summary;
  DuplicateChoice m_choice;  // the last answer; kept for good once it has the continue flag
};
