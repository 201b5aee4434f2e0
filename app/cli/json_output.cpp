#include "app/cli/json_output.h"

#include "aircraft/entry_list.h"
#include "base/file_ops.h"
#include "base/json_writer.h"

namespace pw {
namespace {

void write_entry_keys(JsonWriter& json, const FltsimEntry& entry) {
  for (std::size_t f = 0; f < kFltsimKeyCount; ++f) {
    const FltsimField& field = fltsim_fields()[f];
    json.key(field.key).string(entry.*field.member);
  }
}

}  // namespace

std::string list_json(const AircraftState& aircraft, const std::vector<std::size_t>& listed) {
  JsonWriter json;
  json.begin_object().key("entries").begin_array();
  for (const std::size_t i : listed) {
    json.begin_object().key("index").number(static_cast<std::int64_t>(i));
    const auto& sections = aircraft.g_AircraftSections;
    if (i < sections.size()) json.key("section").string(fltsim_section(sections[i]));
    write_entry_keys(json, aircraft.g_AircraftEntries[i]);
    json.end_object();
  }
  return json.end_array().end_object().text();
}

std::string package_json(const FltsimEntry& entry, const PackageLayout& layout) {
  JsonWriter json;
  json.begin_object();
  write_entry_keys(json, entry);
  json.key("rcf_text").string(entry.rcf_text.substr(0, entry.rcf_text.find('\0')));
  json.key("has_preview").boolean(layout.has_preview).key("preview_size").number(layout.preview_size);
  json.key("files").begin_array();
  for (const PackageFile& file : layout.files) {
    json.begin_object().key("name").string(file.name).key("size").number(file.size).end_object();
  }
  return json.end_array().end_object().text();
}

void write_findings(JsonWriter& json, const std::vector<Finding>& findings) {
  json.key("findings").begin_array();
  for (const Finding& f : findings) {
    json.begin_object().key("kind").string(finding_kind_name(f.kind));
    json.key("subject").string(f.subject).key("explanation").string(f.explanation).end_object();
  }
  json.end_array();
}

std::string findings_json(const std::vector<Finding>& findings) {
  JsonWriter json;
  json.begin_object();
  write_findings(json, findings);
  return json.end_object().text();
}

std::string history_json(const std::vector<RestorePoint>& points) {
  JsonWriter json;
  json.begin_object().key("restore_points").begin_array();
  for (const RestorePoint& point : points) {
    const RestoreManifest& m = point.manifest;
    json.begin_object().key("name").string(file_name(point.folder));
    json.key("operation").string(m.operation).key("time").string(m.time);
    json.key("cfg_before").string(m.cfg_before).key("cfg_after").string(m.cfg_after).key("undone").boolean(m.undone());
    json.key("packages").strings(m.packages).key("sections_written").strings(m.sections_written);
    json.key("sections_deleted").strings(m.sections_deleted).key("folders_created").strings(m.folders_created);
    json.key("folders_removed").strings(m.folders_removed).end_object();
  }
  return json.end_array().end_object().text();
}

}  // namespace pw
