// A phonebook's import and export commands: a comma-separated or vCard file's rows brought
// into the phonebook (its duplicates asked about through the view's question), and the
// whole phonebook or the selected entries written as a vCard file.
#pragma once

#include <vector>

class CUtilityDoc;
class IDuplicateQuestion;

class CDocumentExchange {
 public:
  explicit CDocumentExchange(CUtilityDoc& document) : m_doc(document) {}

  // Who answers an import's duplicate questions, provided by the view (not owned); without
  // one, an import leaves every duplicate out.
  void SetDuplicateQuestion(IDuplicateQuestion* question) { m_pDuplicateQuestion = question; }

  // Chooses a file, confirms, and adds its rows or cards (DocumentImport.cpp).
  void OnFileImport();
  // Writes the entries with the memory numbers `selected` (all when empty) to a vCard
  // file of the version the save dialog's file type names (DocumentExport.cpp).
  void OnFileExport(const std::vector<int>& selected = {});

 private:
  CUtilityDoc& m_doc;
  IDuplicateQuestion* m_pDuplicateQuestion = nullptr;
};
