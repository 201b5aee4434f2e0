#include "app/desktop/library_tab.h"

#include "aircraft/entry_search.h"
#include "app/desktop/dispatcher.h"
#include "base/file_ops.h"
#include "packages/file_helpers.h"

namespace pw {
namespace {

constexpr const char* kHangar = "frm_Hangar";

std::string picture_of(const LibraryAircraft& aircraft, std::size_t entry) {
  if (entry >= aircraft.entries.size()) return "";
  FltsimEntry named;
  named.texture = aircraft.entries[entry].texture;
  return texture_folder_path(aircraft.folder, named).value_or("");
}

ListRow card(const LibraryAircraft& aircraft, std::size_t index, std::string text, std::size_t entry) {
  ListRow row;
  row.text = std::move(text) + "\n" + file_name(aircraft.folder);
  row.item_data = static_cast<int>(index);
  row.tooltip = aircraft.folder;
  row.picture = picture_of(aircraft, entry);
  return row;
}

std::string counted(std::size_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

}  // namespace

void LoadHangarLibrary(AppContext& ctx) {
  const std::string& cache = ctx.library_cache_folder;
  ctx.library = index_library(ctx.fs, ctx.state.aircraft_places.folders,
                              cache.empty() ? "" : library_cache_path(cache, ctx.state.g_SimRoot));
  FillHangarLibrary(ctx);
}

void FillHangarLibrary(AppContext& ctx) {
  const std::vector<LibraryAircraft>& aircraft = ctx.library.aircraft;
  const std::string typed = ctx.view.field_text(kHangar, kLibrarySearch);
  ListContent content;
  std::size_t entries = 0;
  for (std::size_t a = 0; a < aircraft.size(); ++a) entries += aircraft[a].entries.size();
  if (EntrySearch(typed).matches_everything()) {
    for (std::size_t a = 0; a < aircraft.size(); ++a) {
      content.rows.push_back(card(aircraft[a], a, aircraft[a].first_title() + "\n" + counted(aircraft[a].entries.size(), "entry", "entries"), 0));
    }
  } else {
    for (const LibraryHit& hit : search_library(ctx.library, typed)) {
      const LibraryAircraft& a = aircraft[hit.aircraft];
      content.rows.push_back(card(a, hit.aircraft, a.entries[hit.entry].title, hit.entry));
    }
  }
  for (std::size_t i = 0; i < content.rows.size(); ++i) {
    const LibraryAircraft& a = aircraft[static_cast<std::size_t>(content.rows[i].item_data)];
    if (is_same_folder(a.folder, ctx.state.g_AircraftFolder)) content.current = static_cast<int>(i);
  }
  ctx.view.set_list(kHangar, kLibraryList, content);
  ctx.view.set_label(kHangar, kLibraryCount,
                     counted(content.rows.size(), "card", "cards") + " of " +
                         counted(aircraft.size(), "aircraft folder", "aircraft folders") + ", " +
                         counted(entries, "entry", "entries"));
}

void HangarLibraryClicked(AppContext& ctx) {
  const ListContent content = ctx.view.list(kHangar, kLibraryList);
  if (content.current < 0 || static_cast<std::size_t>(content.current) >= content.rows.size()) return;
  const auto index = static_cast<std::size_t>(content.rows[static_cast<std::size_t>(content.current)].item_data);
  if (index >= ctx.library.aircraft.size()) return;
  if (select_aircraft_path(ctx, ctx.library.aircraft[index].folder)) FillHangarLibrary(ctx);
}

}  // namespace pw
