// The texts the install, removal and package commands show, held once for
// the dispatcher's message boxes and the command line's standard error.
#pragma once

#include <string>
#include <vector>

#include "aircraft/diagnosis.h"
#include "base/result.h"

namespace pw {

inline constexpr const char* kInstallErrorTitle = "Package Install Error";
inline constexpr const char* kRemovalErrorTitle = "Repaint Removal Error";

// The lines joined with single CRs, as the dispatcher's messages are.
std::string cr_lines(const std::vector<std::string>& lines);
// A fixed text followed by an empty line and the reason of the failure.
std::string with_reason(const std::string& text, const Error& why);

std::string package_error_text(const std::string& package_path);
std::string package_cfg_error_text(const std::string& package_path);
std::string install_success_text();
// The outcome of an install: install_success_text, or when packages were
// skipped as installed already, how many were installed and the skipped
// ones' titles.
std::string install_outcome_text(int installed, const std::vector<std::string>& skipped);

std::string removal_error_text();      // any failure before Aircraft.cfg was written
std::string removal_cfg_error_text();  // Aircraft.cfg could not be written
// A removal refused because of numbers used twice.
std::string removal_refused_text(const std::vector<Finding>& numbers_used_twice);
std::string removal_success_text();

// Findings as message lines, "- [subject] explanation" each (the subject
// once: left out where the explanation starts with it).
std::string findings_lines(const std::vector<Finding>& findings);
// The repair offer after a check: the findings renumbering mends and, in a
// list of their own, those it leaves; then what OK and Cancel do.
std::string repair_offer_text(const std::vector<Finding>& findings);
// What a check after the repair found: the findings left, or that none is.
std::string after_repair_text(const std::vector<Finding>& findings);
// What the texture check found in a folder about to be packed, and the
// question whether to pack it anyway (OK goes on).
std::string pack_findings_question(const std::vector<Finding>& findings);
// What the texture check found in the folders just installed, to follow the
// outcome; empty when nothing.
std::string installed_findings_text(const std::vector<Finding>& findings);

std::string package_created_text(const std::string& package_name, const std::string& aircraft_folder);

}  // namespace pw
