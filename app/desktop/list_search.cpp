#include "app/desktop/list_search.h"

#include <algorithm>
#include <array>

#include "aircraft/entry_search.h"
#include "base/text.h"

namespace pw {
namespace {

constexpr std::array<SearchedList, 4> kSearchedLists = {{
    {"frm_Remove", "lstAircraft", "txtSearch", "lblTicked", false},
    {"frm_Install", "lstPackages", "txtSearch", "lblTicked", true},
    {"frm_Hangar", "lstRepaints", "txtSearchRepaints", "lblTickedRepaints", false},
    {"frm_Hangar", "lstPackages", "txtSearchPackages", "lblTickedPackages", true},
}};

const FltsimEntry* entry_of(const SharedState& s, const SearchedList& searched, int item_data) {
  const std::vector<FltsimEntry>& entries = searched.packages ? s.g_PackageEntries : s.g_AircraftEntries;
  if (item_data < 0 || static_cast<std::size_t>(item_data) >= entries.size()) return nullptr;
  return &entries[static_cast<std::size_t>(item_data)];
}

// The ticks, after a note when the search leaves nothing of a list that
// has rows (an empty grid alone would look like an empty aircraft).
void show_count(AppContext& ctx, const SearchedList& searched, const ListContent& content) {
  int ticked = 0;
  int hidden = 0;
  for (const ListRow& row : content.rows) {
    if (!row.checked) continue;
    ++ticked;
    if (row.hidden) ++hidden;
  }
  std::string text = ticked_text(ticked, hidden);
  const bool none_shown =
      std::all_of(content.rows.begin(), content.rows.end(), [](const ListRow& row) { return row.hidden; });
  if (!content.rows.empty() && none_shown) {
    const std::string note = no_match_text(ctx.view.field_text(searched.screen, searched.field));
    text = text.empty() ? note : note + "; " + text;
  }
  ctx.view.set_label(searched.screen, searched.count, text);
}

}  // namespace

const SearchedList* searched_list(const std::string& screen, const std::string& list) {
  for (const SearchedList& searched : kSearchedLists) {
    if (screen == searched.screen && list == searched.list) return &searched;
  }
  return nullptr;
}

std::string ticked_text(int ticked, int hidden_ticked) {
  if (ticked == 0) return "";
  const std::string text = std::to_string(ticked) + " ticked";
  if (hidden_ticked == 0) return text;
  return text + ", " + std::to_string(hidden_ticked) + " hidden by the search";
}

std::string no_match_text(const std::string& typed) { return "No repaint matches \"" + trim_blanks(typed) + "\""; }

std::vector<bool> hidden_rows(const SharedState& s, const SearchedList& searched, const ListContent& content,
                              const std::string& typed) {
  const EntrySearch search(typed);
  std::vector<bool> hidden(content.rows.size(), false);
  if (search.matches_everything()) return hidden;
  for (std::size_t i = 0; i < content.rows.size(); ++i) {
    const FltsimEntry* entry = entry_of(s, searched, content.rows[i].item_data);
    hidden[i] = !(entry != nullptr ? search.matches(*entry) : search.matches(fold_for_search(content.rows[i].text)));
  }
  return hidden;
}

void RefilterList(AppContext& ctx, const std::string& screen, const std::string& list) {
  const SearchedList* searched = searched_list(screen, list);
  if (searched == nullptr) return;
  ListContent content = ctx.view.list(screen, list);
  const std::vector<bool> hidden =
      hidden_rows(ctx.state, *searched, content, ctx.view.field_text(screen, searched->field));
  ctx.view.set_hidden_rows(screen, list, hidden);
  for (std::size_t i = 0; i < content.rows.size(); ++i) content.rows[i].hidden = hidden[i];
  show_count(ctx, *searched, content);
}

void CountTicks(AppContext& ctx, const std::string& screen, const std::string& list) {
  if (const SearchedList* searched = searched_list(screen, list)) show_count(ctx, *searched, ctx.view.list(screen, list));
}

}  // namespace pw
