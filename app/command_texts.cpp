#include "app/command_texts.h"

namespace pw {

std::string cr_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\r';
    text += line;
  }
  return text;
}

std::string with_reason(const std::string& text, const Error& why) { return cr_lines({text, "", why.message}); }

std::string package_error_text(const std::string& package_path) {
  return cr_lines({"An error occured with the repaint package file named... ", "", package_path});
}

std::string package_cfg_error_text(const std::string& package_path) {
  return cr_lines({"An error occured while writing the aircraft.cfg file for the repaint package file named... ", "",
                   package_path});
}

std::string install_success_text() {
  return cr_lines({"All selected repaint packages have been successfully installed", "into your selected aircraft.", "",
                   "Please press OK to continue."});
}

std::string install_outcome_text(int installed, const std::vector<std::string>& skipped) {
  if (skipped.empty()) return install_success_text();
  std::string names;
  for (const std::string& title : skipped) names += "\r- " + title;
  return cr_lines({"Repaint packages installed into your selected aircraft: " + std::to_string(installed) + ".", "",
                   "Skipped, as a repaint of the same title is installed already:" + names, "",
                   "Please press OK to continue."});
}

std::string removal_error_text() { return "An error occured while attempting to remove a repaint."; }

std::string removal_cfg_error_text() { return "An error occured while writing the aircraft.cfg file."; }

std::string removal_refused_text(const std::vector<Finding>& numbers_used_twice) {
  std::string names;
  for (const Finding& f : numbers_used_twice) names += (names.empty() ? "[" : ", [") + f.subject + "]";
  return cr_lines({"The aircraft.cfg file uses " + names + " more than once.",
                   "Removing repaints now would bring a hidden entry back beside a renumbered one.", "",
                   "Renumber the entries first, then tick the repaints to remove again."});
}

std::string removal_success_text() {
  return cr_lines({"All selected aircraft repaints have been successfully removed", "from your aircraft.", "",
                   "Please press OK to continue."});
}

std::string findings_lines(const std::vector<Finding>& findings) {
  std::vector<std::string> lines;
  for (const Finding& f : findings) {
    const std::string subject = "[" + f.subject + "]";
    lines.push_back("- " + (f.explanation.starts_with(subject) ? "" : subject + " ") + f.explanation);
  }
  return cr_lines(lines);
}

std::string repair_offer_text(const std::vector<Finding>& findings) {
  std::vector<Finding> mended;
  std::vector<Finding> left;
  for (const Finding& f : findings) (is_mended_by_renumbering(f) ? mended : left).push_back(f);
  std::vector<std::string> lines = {"The check of this aircraft found:", "", "Renumbering mends:", findings_lines(mended)};
  if (!left.empty()) lines.insert(lines.end(), {"", "Renumbering does not mend:", findings_lines(left)});
  lines.insert(lines.end(), {"", "Press OK to renumber the [fltsim.N] sections of aircraft.cfg into one sequence from 0 "
                                 "(a copy of the file is kept as Aircraft.vnb), or Cancel to leave the file as it is."});
  return cr_lines(lines);
}

std::string after_repair_text(const std::vector<Finding>& findings) {
  if (findings.empty()) return "The aircraft.cfg file was renumbered. The check of this aircraft finds nothing more.";
  return cr_lines({"The aircraft.cfg file was renumbered. The check of this aircraft still finds:", "",
                   findings_lines(findings)});
}

std::string pack_findings_question(const std::vector<Finding>& findings) {
  return cr_lines({"The texture check of this repaint found:", "", findings_lines(findings), "",
                   "Press OK to create the package anyway, or Cancel to stop."});
}

std::string installed_findings_text(const std::vector<Finding>& findings) {
  if (findings.empty()) return {};
  return cr_lines({"The texture check of the new repaints found:", findings_lines(findings)});
}

std::string package_created_text(const std::string& package_name, const std::string& aircraft_folder) {
  return cr_lines({"A repaint package file named... ", "", package_name, "",
                   "has been successfully created and placed in the Uploads", "directory of " + aircraft_folder + "."});
}

}  // namespace pw
