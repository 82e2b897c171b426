// The string table's texts, by id.
#include "strings/StringTable.h"

#include <map>

namespace {

const std::map<int, std::string_view>& Table() {
  static const std::map<int, std::string_view> table = {
  };
  return table;
}

}  // namespace

std::string_view StringText(int id) {
  const auto& table = Table();
  auto it = table.find(id);
  return it == table.end() ? std::string_view() : it->second;
}

std::string_view CommandPrompt(int id) {
  std::string_view text = StringText(id);
  return text.substr(0, text.find('\n'));
}

std::string_view CommandTooltip(int id) {
  std::string_view text = StringText(id);
  auto nl = text.find('\n');
  return nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
}
