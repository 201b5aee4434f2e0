#include "app/addon_folders.h"

#include <string_view>

#include "base/file_ops.h"
#include "base/platform/process.h"
#include "base/text.h"
#include "config/profile.h"

namespace pw {
namespace {

// Declarations are small; a larger file is no declaration.
constexpr std::int64_t kMaxDeclarationBytes = 1 << 20;

std::string xml_unescape(std::string_view text) {
  std::string out = replace_all(text, "&lt;", "<");
  out = replace_all(out, "&gt;", ">");
  out = replace_all(out, "&quot;", "\"");
  out = replace_all(out, "&apos;", "'");
  return replace_all(out, "&amp;", "&");
}

// The text of the first <tag>...</tag> inside `xml`, trimmed and unescaped.
std::string element_text(std::string_view xml, std::string_view tag) {
  const std::string open = "<" + std::string(tag) + ">", close = "</" + std::string(tag) + ">";
  const auto from = xml.find(open);
  if (from == std::string_view::npos) return {};
  const auto to = xml.find(close, from + open.size());
  if (to == std::string_view::npos) return {};
  return xml_unescape(trim_blanks_tabs(trim_blanks(xml.substr(from + open.size(), to - from - open.size()))));
}

// The add-on itself and the SimObjects folders its add-on.xml declares.
void add_addon(FileSystem& fs, const std::string& folder, std::vector<std::string>& out) {
  auto xml = read_whole_file(fs, join_path(folder, "add-on.xml"), kMaxDeclarationBytes);
  if (!xml) return;
  out.push_back(folder);
  // add-on.xml is UTF-8; core paths are Windows-1252.
  const std::string text = utf8_to_cp1252(*xml);
  std::string_view rest = text;
  const std::string_view open = "<AddOn.Component>", close = "</AddOn.Component>";
  for (auto at = rest.find(open); at != std::string_view::npos; at = rest.find(open)) {
    rest.remove_prefix(at + open.size());
    const std::string_view component = rest.substr(0, rest.find(close));
    if (!iequals(element_text(component, "Category"), "SimObjects")) continue;
    const std::string path = element_text(component, "Path");
    if (path.empty()) continue;
    out.push_back(is_absolute_path(path) ? path : join_path(folder, path));
  }
}

void add_discovered(FileSystem& fs, const std::string& discovery, std::vector<std::string>& out) {
  auto entries = fs.list(discovery);
  if (!entries) return;
  for (const DirEntry& e : *entries) {
    if (e.is_folder && !holds_separator(e.name)) add_addon(fs, join_path(discovery, e.name), out);
  }
}

bool is_active(const ProfileDocument& cfg, const std::string& section) {
  return !iequals(cfg.find(section, "ACTIVE").value_or("true"), "false");
}

}  // namespace

AddonSources default_addon_sources() {
  AddonSources sources;
  const std::string roaming = known_folder(KnownFolder::kRoamingAppData);
  const std::string shared = known_folder(KnownFolder::kProgramData);
  const std::string documents = known_folder(KnownFolder::kDocuments);
  for (const char* version : {"v4", "v5"}) {
    const std::string settings = std::string("Lockheed Martin\\Prepar3D ") + version + "\\add-ons.cfg";
    for (const std::string& base : {roaming, shared}) {
      if (!base.empty()) sources.config_files.push_back(join_path(base, settings));
    }
    if (!documents.empty()) sources.discovery_folders.push_back(join_path(documents, std::string("Prepar3D ") + version + " Add-ons"));
  }
  return sources;
}

std::vector<std::string> read_addon_folders(FileSystem& fs, const AddonSources& sources) {
  std::vector<std::string> folders;
  for (const std::string& file : sources.config_files) {
    auto bytes = read_whole_file(fs, file, kMaxDeclarationBytes);
    if (!bytes) continue;
    const ProfileDocument cfg = ProfileDocument::parse(*bytes);
    for (const std::string& section : cfg.section_names()) {
      const std::string path = cfg.find(section, "PATH").value_or("");
      if (path.empty() || !is_active(cfg, section)) continue;
      if (starts_with_ci(section, "Package.")) add_addon(fs, path, folders);
      if (starts_with_ci(section, "DiscoveryPath.")) add_discovered(fs, path, folders);
    }
  }
  for (const std::string& discovery : sources.discovery_folders) add_discovered(fs, discovery, folders);
  return folders;
}

}  // namespace pw
