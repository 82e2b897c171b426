// The list a store fills (FillList): the view implements it over its list widget,
// tests and benchmarks over plain memory.
#pragma once

#include <string>

#include "phonebook/PhonebookEntry.h"

class IListControl {
 public:
  virtual ~IListControl() = default;
  virtual bool HasWindow() const = 0;
  // Whether the list shows `entry` (a list with a search filter leaves some out).
  virtual bool Accepts(const PhonebookEntry& /*entry*/) const { return true; }
  virtual void SetRedraw(bool on) = 0;
  virtual void DeleteAllItems() = 0;
  // Inserts row `index` with `text` in column 0.
  virtual void InsertItem(int index, const std::string& text) = 0;
  virtual void SetItemText(int index, int column, const std::string& text) = 0;
  // Redraws the whole control at once (after SetRedraw(true)).
  virtual void RedrawNow() = 0;
};
