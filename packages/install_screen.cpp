#include "packages/install_screen.h"

#include <QLabel>
#include <QListWidget>

#include "ui/image_button.h"

namespace pw {
namespace {

const char* const kInstructions =
    "Using the list provided below, please select the repaint packages that you would like to install for the "
    "selected aircraft. The list shows all the packages that are found in the Downloads folder of your aircraft "
    "as well as one you may have added by browsing. You may check as many aircraft as you would like to "
    "install. Under the selection list you can a see an option to delete the package files once you have "
    "installed them. This option is recommended so you will not attempt to install packages more than one "
    "time. Please note that the Selection List is refreshed after every installation and will show the "
    "packages in your aircraft's Downloads folder. Packages added by browsing are not re-listed automatically.";

}  // namespace

frm_Install::frm_Install() : ScreenForm(ui::ScreenKind::kInstall, "frm_Install", "Install Repaint Packages") {
  add_label("Label4", kInstructions, {38, 84, 728, 67});
  add_label("Label2", "Package List (Default is from Downloads Folder)", {38, 166, 293, 17}, true);
  add_search_field("txtSearch", {36, 186, 310, 24}, "lstPackages");
  add_list("lstPackages", {36, 214, 310, 206}, true);
  add_label("lblTicked", "", {38, 423, 308, 16});
  add_label("Label1", "Aircraft Preview Picture", {369, 166, 399, 17}, true);
  preview_ = add_picture("picPreview", {367, 186, 402, 302}, "\\Media\\NoPreview.bmp");
  add_label("Label3", "*Browsed for packages are removed from the list after each installation.", {202, 442, 143, 46});
  add_check_box("chkDelete", "Automatically delete package(s) after installation.", {35, 491, 308, 20});
  CD1_.set_Filter("Package File (*.pkg)|*.pkg");
  if (!load_frame()) return;
  add_named_button("BrowsePackages", {{36, 442}, "browse", "BrowsePackages", "enabled",
                                      "Click to browse for packages instead of using them from the list."});
  add_named_button("btn_Exit", {{322, 525}, "exit", "Exit", "enabled", "Click to Exit the Varnel FSX Paintwell."});
  add_named_button("btn_Install", {{96, 525}, "install", "Install", "disabled",
                                   "Press to install the selected repaint package files."});
  add_named_button("btn_Return", {{548, 525}, "return", "Return", "enabled",
                                  "Click to return to the main screen of the Varnel FSX Paintwell."});
  place_progress_bar({367, 496, 280, 4});
}

// The preview of a row the search hides gives way; the list's click
// handler shows the current row's again when it is back in view.
void frm_Install::list_changed(QListWidget& list, bool refilled) {
  (void)refilled;
  if (list.objectName() == QLatin1String("lstPackages") && shown_current(list) == nullptr) show_default_picture(*preview_);
}

}  // namespace pw
