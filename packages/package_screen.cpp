#include "packages/package_screen.h"

#include "ui/image_button.h"

namespace pw {

frm_Package::frm_Package() : ScreenForm(ui::ScreenKind::kPackage, "frm_Package", "Create Repaint Package") {
  add_label("Label2", "Select Aircraft to Package", {37, 96, 293, 17}, true);
  add_list("lstAircraft", {35, 115, 310, 178}, false);
  add_label("Label3", "All files checked below will be packaged.", {37, 299, 293, 16}, true);
  add_list("lstTextures", {35, 317, 310, 182}, true);
  add_label("Label1", "Currently Assigned Preview Picture", {368, 96, 399, 17}, true);
  add_picture("picPreview", {366, 116, 402, 302}, "\\Media\\DefaultPreview.bmp");
  add_label("Label4",
            "The above picture displays the preview picture that will be included in your package, to select "
            "a different picture, press the button to the right.",
            {367, 432, 241, 41});
  if (!load_frame()) return;
  add_named_button("btn_Exit", {{322, 525}, "exit", "Exit", "enabled", "Click to Exit the Varnel FSX Paintwell."});
  add_named_button("btn_Package", {{96, 525}, "package", "Package", "enabled",
                                   "Press to create a repaint package file that can be uploaded to share your "
                                   "repaint with other users."});
  add_named_button("btn_Return", {{548, 525}, "return", "Return", "enabled",
                                  "Click to return to the main screen of the Varnel FSX Paintwell."});
  add_named_button("btn_Preview", {{616, 433}, "preview", "Change", "enabled",
                                   "Press to select a new preview image for your repaint package.  Images MUST be "
                                   "bmp files with a resolution of 400x300."});
  place_progress_bar({35, 504, 600, 4});
}

}  // namespace pw
