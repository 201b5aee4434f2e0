#include "app/addon_folders.h"

#include <optional>
#include <string_view>
#include <unordered_set>

#include "base/file_ops.h"
#include "base/platform/process.h"
#include "base/text.h"
#include "config/profile.h"
#include "config/xml_tokens.h"

namespace pw {
namespace {

// Reads one declaration file whole; nullopt when it is missing, or refused
// (and reported) when it cannot be read or is too large.
std::optional<std::string> read_declaration(FileSystem& fs, const std::string& path, AddonFolders& out) {
  auto bytes = read_whole_file(fs, path, kMaxDeclarationBytes);
  if (bytes) return std::move(*bytes);
  if (bytes.error().code == ErrorCode::kRefused) {
    out.refusals.push_back(fs.native_path(path) + ": larger than " + std::to_string(kMaxDeclarationBytes >> 20) + " MB, not read");
  } else if (bytes.error().code != ErrorCode::kNotFound) {
    out.refusals.push_back(fs.native_path(path) + ": " + bytes.error().message);
  }
  return std::nullopt;
}

struct Component {
  std::string category;
  std::string path;
};

// The Category and Path texts of each AddOn.Component element.
std::vector<Component> components_of(const std::vector<XmlToken>& tokens) {
  std::vector<Component> out;
  std::size_t depth = 0, component = 0;  // component: the depth of the open AddOn.Component, 0 outside one
  std::string* field = nullptr;          // the Category or Path being read, directly inside the component
  for (const XmlToken& t : tokens) {
    if (t.kind == XmlToken::Kind::kStart) {
      ++depth;
      if (component == 0 && t.name == "AddOn.Component") {
        component = depth;
        out.emplace_back();
      } else if (component != 0 && depth == component + 1) {
        field = t.name == "Category" ? &out.back().category : t.name == "Path" ? &out.back().path : nullptr;
      }
    } else if (t.kind == XmlToken::Kind::kEnd) {
      if (depth == component + 1) field = nullptr;
      if (depth == component) component = 0;
      --depth;
    } else if (field && depth == component + 1) {
      *field += t.text;
    }
  }
  return out;
}

// `path` with "." and ".." resolved, the separators made '\', and how
// many of its leading parts are its root (a drive, "\\", or a share).
struct NormalPath {
  std::vector<std::string> parts;
  std::size_t root_parts = 0;
  bool is_root() const { return parts.size() <= root_parts; }
};

NormalPath split_path(std::string_view path) {
  NormalPath n;
  const bool share = path.size() > 1 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
  n.root_parts = share ? 2 : (path.size() > 1 && path[1] == ':') ? 1 : 0;
  std::size_t from = 0;
  while (from <= path.size()) {
    const std::size_t to = std::min(path.find_first_of("\\/", from), path.size());
    const std::string_view part = path.substr(from, to - from);
    from = to + 1;
    if (part.empty() || part == ".") continue;
    if (part != "..") {
      n.parts.emplace_back(part);
    } else if (n.parts.size() > n.root_parts) {
      n.parts.pop_back();
    }
  }
  return n;
}

std::string joined(const NormalPath& n) {
  std::string out = n.root_parts == 2 ? "\\\\" : "\\";
  for (const std::string& part : n.parts) out += part + (&part == &n.parts.back() ? "" : "\\");
  return out;
}

// True when `above` is a strict ancestor of `folder` (or the same root).
bool is_above(const NormalPath& above, const NormalPath& folder) {
  const std::string a = joined(above), f = joined(folder);
  return is_inside_folder(f, a) && !is_inside_folder(a, f);
}

// Why a component's resolved folder may not count as an add-on's, or "".
std::string path_refusal(const std::string& resolved, const std::string& addon) {
  const NormalPath path = split_path(resolved);
  if (path.is_root()) return "names a filesystem root";
  if (is_above(path, split_path(addon))) return "names a folder above the add-on";
  return "";
}

// The declarations read so far; an add-on named twice is read once, so a
// hostile add-ons.cfg cannot have one large add-on.xml read over and over.
struct Reader {
  FileSystem& fs;
  AddonFolders out;
  std::unordered_set<std::string> addons;  // lower case

  void add_addon(const std::string& folder);
  void add_discovered(const std::string& discovery);
  void add_config(const std::string& file);
};

// The add-on itself and the SimObjects folders its add-on.xml declares.
void Reader::add_addon(const std::string& folder) {
  if (!addons.insert(to_lower(folder)).second) return;
  if (split_path(folder).is_root()) return out.refusals.push_back(fs.native_path(folder) + ": an add-on in a filesystem root");
  const std::string declaration = join_path(folder, "add-on.xml");
  const std::optional<std::string> xml = read_declaration(fs, declaration, out);
  if (!xml) return;
  const auto tokens = tokenize_xml(*xml);
  if (!tokens) return out.refusals.push_back(fs.native_path(declaration) + ": " + tokens.error().message);
  out.folders.push_back(folder);
  for (const Component& c : components_of(*tokens)) {
    if (!iequals(trim_blanks_tabs(c.category), "SimObjects")) continue;
    // add-on.xml is UTF-8; core paths are Windows-1252.
    const std::string path = utf8_to_cp1252(trim_blanks_tabs(c.path));
    if (path.empty()) continue;
    const std::string resolved = absolute_path(folder, path);
    const std::string refusal = path_refusal(resolved, folder);
    if (!refusal.empty()) {
      out.refusals.push_back(fs.native_path(declaration) + ": the Path " + path + " " + refusal);
      continue;
    }
    out.folders.push_back(resolved);
  }
}

void Reader::add_discovered(const std::string& discovery) {
  auto entries = fs.list(discovery);
  if (!entries) return;
  for (const DirEntry& e : *entries) {
    if (e.is_folder && !holds_separator(e.name)) add_addon(join_path(discovery, e.name));
  }
}

bool is_active(const ProfileDocument& cfg, std::size_t section) {
  return !iequals(cfg.find_in(section, "ACTIVE").value_or("true"), "false");
}

void Reader::add_config(const std::string& file) {
  const std::optional<std::string> bytes = read_declaration(fs, file, out);
  if (!bytes) return;
  const ProfileDocument cfg = ProfileDocument::parse(*bytes);
  const std::vector<std::string> sections = cfg.section_names();
  for (std::size_t at = 0; at < sections.size(); ++at) {
    // The first of a repeated section counts, as for every profile file.
    if (cfg.section_position(sections[at]) != at) continue;
    const std::string path = cfg.find_in(at, "PATH").value_or("");
    if (path.empty() || !is_active(cfg, at)) continue;
    // A relative PATH is read from the file's own folder, as the simulator
    // reads add-on.xml's, so a copied tree keeps its add-ons.
    const std::string folder = absolute_path(parent_path(file), path);
    if (starts_with_ci(sections[at], "Package.")) add_addon(folder);
    if (starts_with_ci(sections[at], "DiscoveryPath.")) add_discovered(folder);
  }
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

AddonFolders read_addon_folders(FileSystem& fs, const AddonSources& sources) {
  Reader reader{fs, {}, {}};
  for (const std::string& file : sources.config_files) reader.add_config(file);
  for (const std::string& discovery : sources.discovery_folders) reader.add_discovered(discovery);
  return std::move(reader.out);
}

}  // namespace pw
