// The titles the remove and install commands name: what their questions
// act on, listed below the question's text, so nothing goes or comes that
// the user did not see named (least of all a ticked row the search hides),
// and the titles installed copies were given.
#pragma once

#include <string>
#include <vector>

#include "app/desktop/screen_view.h"
#include "app/shared_state.h"

namespace pw {

// At most this many titles are named; the rest are counted.
inline constexpr std::size_t kNamedTitles = 15;

// The rows a command acts on: ticked and not greyed, in list order.
std::vector<ListRow> acted_on_rows(const ListContent& content);

// `question` followed by a blank line and the trimmed titles of `rows`'
// entries (item data indexes g_PackageEntries when `packages`, else
// g_AircraftEntries), one per line: the first kNamedTitles, then "and N
// more". A row hidden by the search is marked so.
std::string with_acted_on(const std::string& question, const SharedState& s, const std::vector<ListRow>& rows,
                          bool packages);

// The install outcome's addition for packages installed as copies beside
// a repaint of the same title: the copies' titles; empty for none.
std::string copies_text(const std::vector<std::string>& copy_titles);

}  // namespace pw
