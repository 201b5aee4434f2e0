#include "app/desktop/hangar_lists.h"

#include <algorithm>

#include "app/desktop/list_search.h"
#include "app/desktop/screen_lists.h"
#include "base/text.h"
#include "packages/file_helpers.h"
#include "packages/repaint_removal.h"

namespace pw {
namespace {

constexpr const char* kHangar = "frm_Hangar";

// The title, then the card's lines whole (the card cuts long ones short).
std::string card_tooltip(const FltsimEntry& entry) {
  const std::string text = card_text(entry);
  return trim_blanks(entry.title) + (text.empty() ? "" : "\n" + text);
}

}  // namespace

std::string card_text(const FltsimEntry& entry) {
  std::string text;
  for (const std::string* field : {&entry.ui_variation, &entry.atc_airline, &entry.atc_id, &entry.ui_createdby}) {
    const std::string value = trim_blanks(*field);
    if (value.empty()) continue;
    if (!text.empty()) text += '\n';
    text += value;
  }
  return text;
}

void FillHangarRepaints(AppContext& ctx) {
  const SharedState& s = ctx.state;
  const std::vector<int> removable = removable_entries(s);
  ListContent content;
  const int last = std::min<int>(s.g_AircraftLast, static_cast<int>(s.g_AircraftEntries.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    const FltsimEntry& entry = s.g_AircraftEntries[static_cast<std::size_t>(i)];
    ListRow row;
    row.text = card_text(entry);
    row.item_data = i;
    row.tooltip = card_tooltip(entry);
    row.enabled = std::find(removable.begin(), removable.end(), i) != removable.end();
    row.picture = texture_folder_path(s.g_AircraftFolder, entry).value_or("");
    content.rows.push_back(std::move(row));
  }
  content.current = content.rows.empty() ? -1 : 0;
  ctx.view.set_list(kHangar, "lstRepaints", content);
  RefilterList(ctx, kHangar, "lstRepaints");
  HangarListClicked(ctx, "lstRepaints");
}

void FillHangarPackages(AppContext& ctx, bool mark) {
  const SharedState& s = ctx.state;
  ListContent content = package_rows(s, mark);
  for (ListRow& row : content.rows) {
    if (row.item_data < 0) continue;
    const bool marked = mark && row.item_data == s.g_PackageLast;
    row.text = (marked ? "*" : "") + card_text(s.g_PackageEntries[static_cast<std::size_t>(row.item_data)]);
    row.tooltip = card_tooltip(s.g_PackageEntries[static_cast<std::size_t>(row.item_data)]);
  }
  ctx.view.set_list(kHangar, "lstPackages", content);
  RefilterList(ctx, kHangar, "lstPackages");
  HangarListClicked(ctx, "lstPackages");
}

void HangarListClicked(AppContext& ctx, const std::string& list) {
  const ListContent content = ctx.view.list(kHangar, list);
  const bool ticked = std::any_of(content.rows.begin(), content.rows.end(), [](const ListRow& r) { return r.checked; });
  const char* button = list == "lstRepaints" ? "btn_Remove" : "btn_Install";
  ctx.view.set_button_state(kHangar, button, ticked ? "enabled" : "disabled");
  CountTicks(ctx, kHangar, list);
}

}  // namespace pw
