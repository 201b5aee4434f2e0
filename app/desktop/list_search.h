// The search fields of the screens' lists: what is typed hides the rows
// whose repaint it does not find (EntrySearch), and a label beside the
// list counts the ticks, those of hidden rows apart, since they stay
// ticked and are acted on like the others.
#pragma once

#include <string>
#include <vector>

#include "app/desktop/app_context.h"

namespace pw {

// A list with a search field, by the names of its controls.
struct SearchedList {
  const char* screen;
  const char* list;
  const char* field;  // the search field
  const char* count;  // the label that counts the ticks
  bool packages;      // item data indexes g_PackageEntries, else g_AircraftEntries
};

// The searched list `list` of `screen`; null for a list without a search field.
const SearchedList* searched_list(const std::string& screen, const std::string& list);

// "3 ticked, 1 hidden by the search"; "3 ticked" when no ticked row is
// hidden; empty when nothing is ticked.
std::string ticked_text(int ticked, int hidden_ticked);

// The note shown when the search `typed` hides every row: "No repaint
// matches "<typed>"", the ticks following after "; ".
std::string no_match_text(const std::string& typed);

// For each row of `content`, whether `typed` hides it. A row is searched
// by its entry (search_text); a row whose item data names no entry (a
// damaged package) by its own text.
std::vector<bool> hidden_rows(const SharedState& s, const SearchedList& searched, const ListContent& content,
                              const std::string& typed);

// After typing in a search field, or after its list was filled: hides
// the rows the search does not find and counts the ticks. Nothing for a
// list without a search field.
void RefilterList(AppContext& ctx, const std::string& screen, const std::string& list);

// After a tick: the count label of a searched list.
void CountTicks(AppContext& ctx, const std::string& screen, const std::string& list);

}  // namespace pw
