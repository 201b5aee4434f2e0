#include "packages/remove_screen.h"

#include "ui/image_button.h"

namespace pw {

frm_Remove::frm_Remove() : ScreenForm(ui::ScreenKind::kRemove, "frm_Remove", "Remove Repaints") {
  add_label("Label1", "Select aircraft to remove from Flight Simulator", {20, 58, 310, 18});
  add_list("lstAircraft", {20, 80, 310, 182}, true);
  if (!load_frame()) return;
  add_named_button("btn_Remove", {{20, 282}, "remove", "Remove", "disabled", "Click to remove the selected repaints."});
  add_named_button("btn_Return", {{180, 282}, "return", "Return", "enabled",
                                  "Click to return to the main screen of the Varnel FSX Paintwell."});
  place_progress_bar({20, 266, 310, 4});
}

}  // namespace pw
