// The Hangar's two grids: every listed entry of the aircraft, and the
// packages of the install list, each shown as a card of the fields a
// person knows a repaint by, with its thumbnail or preview.
#pragma once

#include <string>

#include "app/desktop/app_context.h"

namespace pw {

// The trimmed ui_variation, atc_airline, atc_id and ui_createdby, one per
// line, empty ones left out.
std::string card_text(const FltsimEntry& entry);

// Fills frm_Hangar's lstRepaints with every listed entry: its card, item
// data = entry index, picture = texture folder, tooltip = title and card. An entry
// that cannot be removed (the .rcf's exclusion) is greyed. Then its
// search and HangarListClicked.
void FillHangarRepaints(AppContext& ctx);

// Fills frm_Hangar's lstPackages with package_rows, the listed packages'
// rows as cards. Then its search and HangarListClicked.
void FillHangarPackages(AppContext& ctx, bool mark);

// Click or tick in the Hangar's `list`: its command button (btn_Remove for
// lstRepaints, btn_Install for lstPackages) enabled while a card is
// ticked, and the ticks counted.
void HangarListClicked(AppContext& ctx, const std::string& list);

}  // namespace pw
