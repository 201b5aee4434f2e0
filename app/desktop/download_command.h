// Repaints as they are downloaded: archives and unpacked folders reach the
// program as packages do (browsed, dropped, named on the command line),
// are reviewed on frm_Review, and what the user keeps is installed.
#pragma once

#include <string>
#include <vector>

#include "app/desktop/app_context.h"

namespace pw {

// The downloads at `paths` (core paths): the simulator's aircraft are
// indexed again (ctx.library), the downloads reviewed (review_downloads,
// its copies in ctx.library_cache_folder) and the review shown. On
// Install, the ticked repaints of each download are installed into the
// aircraft chosen for them, under that aircraft's lock, one operation (and
// restore point) per download and aircraft; an aircraft other than the
// selected one is selected first. Then the result box, as after packages.
void open_downloads(AppContext& ctx, const std::vector<std::string>& paths);

}  // namespace pw
