// The --json forms of paintwell-cli's reports: one UTF-8 document each,
// whose member names are the keys of the records they show.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "aircraft/aircraft_state.h"
#include "aircraft/diagnosis.h"
#include "base/json_writer.h"
#include "packages/package_format.h"
#include "packages/restore_points.h"

namespace pw {

// {"entries": [...]}: for each listed index of the aircraft's entries, its
// "index", its "section" ("fltsim.N") and every aircraft.cfg key.
std::string list_json(const AircraftState& aircraft, const std::vector<std::size_t>& listed);

// A package's entry keys, its "rcf_text" (without the NULs that pad it),
// "has_preview", "preview_size" and "files" ({"name", "size"} each).
std::string package_json(const FltsimEntry& entry, const PackageLayout& layout);

// {"findings": [{"kind", "subject", "explanation"}, ...]}
std::string findings_json(const std::vector<Finding>& findings);
// The "findings" member alone, into a document being written.
void write_findings(JsonWriter& json, const std::vector<Finding>& findings);

// {"restore_points": [...]}: newest first, each point's folder "name" and
// its manifest's values, the lists as arrays.
std::string history_json(const std::vector<RestorePoint>& points);

}  // namespace pw
