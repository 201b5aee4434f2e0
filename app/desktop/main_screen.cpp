#include "app/desktop/main_screen.h"

#include <QDesktopServices>
#include <QLabel>
#include <QUrl>

#include "ui/image_button.h"

namespace pw {
namespace {

// The link sits on the dark bar at the bottom, where the skin's grey would
// not read: a light blue of its own.
const QColor kLinkColour(150, 195, 235);

const char* const kLabel7 =
    "Start with the \"Select Aircraft\" button. You can then use the Varnel Paintwell for FSX to perform the "
    "other listed tasks.";
const char* const kLabel4 =
    "Use the Select Aircraft button to select the working aircraft that you will add a new livery to, or "
    "create packages from. Selecting this button will open a browse window, looking for a Package file, or a "
    "Repaint Configuration File. Use the Repaint Configuration File if you are configuring a first-time "
    "package.";
const char* const kLabel1 =
    "Use the Add Repaint(s) button to add the repaints for the selected Aircraft Configuration File loaded "
    "above. You will be able to view preview shots of the aircraft if one is available. You can add one or "
    "multiple repaints at a time with this option.";
const char* const kLabel2 =
    "Use the Remove Repaint(s) button to remove the selected repaints from Flight Simulator. If you have "
    "previously installed an aircraft repaint that you do not care for, this will completely remove the "
    "aircraft and update the aircraft's configuration file.";
const char* const kLabel3 =
    "Use the Create Package button to package a repaint you have done. If you are a painter, share your work "
    "and let everyone enjoy it! The next screen will help you in the process to prepare the correct files for "
    "use in the Paintwell.";

}  // namespace

frm_Main::frm_Main() : ScreenForm(ui::ScreenKind::kMain, "frm_Main", kMainCaption) {
  add_texts();
  if (!load_frame()) return;
  add_buttons();
  place_progress_bar({40, 507, 600, 4});
  center_on_screen();
}

void frm_Main::add_texts() {
  add_label("Label5", "Selected Aircraft:", {40, 90, 720, 17}, true);
  add_label("Label6", "Aircraft Folder:", {40, 108, 720, 17});
  add_label("lblInfo", "Information:", {40, 126, 720, 36});
  add_label("Label7", kLabel7, {40, 168, 720, 16});
  // What undo would take back; set once an aircraft is selected.
  add_label("lblLastOperation", "", {40, 186, 720, 16})->setWordWrap(false);
  // Which simulator start-up found: FSX, its Steam edition or Prepar3D.
  add_label("lbl_Simulator", "", {404, 494, 256, 16})->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  // Each help text stands centred beside its button.
  const struct {
    const char* name;
    const char* text;
    int button_top;
  } help[] = {{"Label4", kLabel4, 219}, {"Label1", kLabel1, 297}, {"Label2", kLabel2, 377}, {"Label3", kLabel3, 457}};
  for (const auto& h : help) {
    add_label(h.name, h.text, {226, h.button_top - 14, 536, 72})->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }

  auto* link = new QLabel(this);
  link->setObjectName("Label8");
  link->setGeometry(540, 542, 220, 18);
  link->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  link->setTextFormat(Qt::RichText);
  link->setText(QStringLiteral("<a href=\"%1\" style=\"color:%2\">%3</a>")
                    .arg(kMakerWebAddress, kLinkColour.name(), QUrl(kMakerWebAddress).host()));
  link->setCursor(Qt::PointingHandCursor);
  link->setToolTip(kMakerWebAddress);
  connect(link, &QLabel::linkActivated, this, &frm_Main::Label8_Click);
}

void frm_Main::add_buttons() {
  add_named_button("btn_Exit", {{322, 525}, "exit", "Exit", "enabled", "Click to Exit the Varnel Paintwell for FSX."});
  add_named_button("btn_Select", {{52, 219}, "select", "selectaircraft", "enabled",
                                  "Click to load a Repaint Configuration File (*.RCF)."});
  add_named_button("btn_Add", {{52, 297}, "add", "Add", "disabled", ""});
  add_named_button("btn_Edit", {{52, 377}, "remove", "Remove", "disabled", ""});
  add_named_button("btn_Upload", {{52, 457}, "upload", "Prepare", "disabled", ""});
  // In the bottom bay under the command column, left of Exit: narrower
  // buttons, two where the design has room for one.
  add_named_button("btn_Undo", {{52, 525}, "undo", "Undo", "disabled",
                                "Click to take back the last operation on the selected aircraft."});
  // Open before any selection: its "All aircraft" tab is how one is chosen.
  add_named_button("btn_Hangar", {{187, 525}, "hangar", "Hangar", "enabled",
                                  "Click to see every aircraft, and every repaint and package of the selected one with its picture."});
}

void frm_Main::Label8_Click() { QDesktopServices::openUrl(QUrl(kMakerWebAddress)); }

}  // namespace pw
