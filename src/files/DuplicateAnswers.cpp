// The duplicate question of an import, asked until an answer is for the rest.
#include "files/DuplicateAnswers.h"

#include "files/ImportSummary.h"

DuplicateMethod CDuplicateAnswers::For(int memoryNumber, const std::vector<std::string>& fields,
                                       const PhonebookEntry& stored) {
  if (Asking()) m_choice = m_resolver.ResolveDuplicate(memoryNumber, fields, stored);
  if (m_choice.method == DuplicateMethod::Overwrite) ++m_summary.overwritten;
  if (m_choice.method == DuplicateMethod::Skip) ++m_summary.skipped;
  return m_choice.method;
}
