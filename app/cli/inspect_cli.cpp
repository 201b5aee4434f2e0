#include "app/cli/inspect_cli.h"

#include <optional>
#include <ostream>

#include "app/cli/command_line.h"
#include "app/cli/json_output.h"
#include "app/cli/terminal.h"
#include "packages/package_format.h"

namespace pw {

int inspect_package(FileSystem& fs, const std::string& path, bool json, std::ostream& out, std::ostream& err) {
  Result<std::unique_ptr<InputFile>> file = fs.open_read(path);
  if (!file) return err << "paintwell-cli: " << file.error().message << "\n", exit_status_of_read(file.error());
  Result<FltsimEntry> entry = read_package_entry(**file);
  Result<std::optional<std::string>> preview = entry ? read_package_preview(**file) : entry.error();
  Result<PackageLayout> layout = preview ? read_package_layout(**file) : preview.error();
  if (!layout) return err << "paintwell-cli: " << layout.error().message << "\n", kExitFailed;
  if (json) return out << package_json(*entry, *layout), kExitOk;
  for (std::size_t f = 0; f < kFltsimKeyCount; ++f) {
    const FltsimField& field = fltsim_fields()[f];
    out << field.key << '=' << field_text((*entry).*field.member) << '\n';
  }
  const std::string& rcf = entry->rcf_text;
  out << "rcf_text:\n" << for_terminal(rcf.substr(0, rcf.find('\0'))) << '\n';
  out << "preview: " << (layout->has_preview ? std::to_string(layout->preview_size) + " bytes" : "none") << '\n';
  out << "files: " << layout->files.size() << '\n';
  for (const PackageFile& f : layout->files) out << f.size << '\t' << field_text(f.name) << '\n';
  return kExitOk;
}

}  // namespace pw
