#include "app/desktop/listed_titles.h"

#include "app/command_texts.h"
#include "base/text.h"

namespace pw {
namespace {

std::string title_of(const SharedState& s, const ListRow& row, bool packages) {
  const std::vector<FltsimEntry>& entries = packages ? s.g_PackageEntries : s.g_AircraftEntries;
  if (row.item_data < 0 || static_cast<std::size_t>(row.item_data) >= entries.size()) return row.text;
  return trim_blanks(entries[static_cast<std::size_t>(row.item_data)].title);
}

}  // namespace

std::vector<ListRow> acted_on_rows(const ListContent& content) {
  std::vector<ListRow> rows;
  for (const ListRow& row : content.rows) {
    if (row.checked && row.enabled) rows.push_back(row);
  }
  return rows;
}

std::string with_acted_on(const std::string& question, const SharedState& s, const std::vector<ListRow>& rows,
                          bool packages) {
  std::vector<std::string> lines = {question, ""};
  for (std::size_t i = 0; i < rows.size() && i < kNamedTitles; ++i) {
    lines.push_back("- " + title_of(s, rows[i], packages) + (rows[i].hidden ? " (hidden by the search)" : ""));
  }
  if (rows.size() > kNamedTitles) lines.push_back("and " + std::to_string(rows.size() - kNamedTitles) + " more");
  return cr_lines(lines);
}

std::string copies_text(const std::vector<std::string>& copy_titles) {
  if (copy_titles.empty()) return {};
  std::string text = "Installed as copies beside a repaint of the same title:";
  for (const std::string& title : copy_titles) text += "\r- " + title;
  return text;
}

}  // namespace pw
