#include "app/desktop/file_association.h"

#include "base/file_ops.h"
#include "base/text.h"

namespace pw {
namespace {

constexpr const char* kClasses = "HKEY_CURRENT_USER\\Software\\Classes\\";
constexpr const char* kProgId = "Paintwell.Package";
// Archives keep the program that opens them; Paintwell adds a verb of its
// own beside it, under each extension's SystemFileAssociations key.
constexpr const char* kArchiveExtensions[] = {".zip", ".7z", ".rar"};
constexpr const char* kArchiveVerb = "\\shell\\Paintwell.Install";

// The command Explorer runs for a package, as the registry holds it.
std::string open_command(const std::string& program_path) { return "\"" + program_path + "\" \"%1\""; }

// A value in a .reg file: quoted, with its backslashes and quotes escaped.
std::string reg_string(const std::string& value) {
  return "\"" + replace_all(replace_all(value, "\\", "\\\\"), "\"", "\\\"") + "\"";
}

std::string reg_key(const std::string& key, const std::string& default_value) {
  return "[" + std::string(kClasses) + key + "]\r\n@=" + reg_string(default_value) + "\r\n\r\n";
}

std::string archive_verb_keys(const std::string& program_path) {
  std::string keys;
  for (const char* extension : kArchiveExtensions) {
    const std::string verb = std::string("SystemFileAssociations\\") + extension + kArchiveVerb;
    keys += reg_key(verb, kArchiveVerbText) + reg_key(verb + "\\command", open_command(program_path));
  }
  return keys;
}

}  // namespace

std::string association_reg_text(const std::string& program_path) {
  const std::string prog_id = kProgId;
  return "REGEDIT4\r\n\r\n" + reg_key(".pkg", prog_id) + reg_key(prog_id, "Paintwell repaint package") +
         reg_key(prog_id + "\\DefaultIcon", "\"" + program_path + "\",0") +
         reg_key(prog_id + "\\shell\\open\\command", open_command(program_path)) + archive_verb_keys(program_path);
}

std::string register_association(FileSystem& fs, const std::string& folder, const std::string& program_path) {
  const std::string path = join_path(folder, kAssociationFileName);
  const Result<void> written = replace_file(fs, path, association_reg_text(program_path));
  if (written) {
    const std::string shown = fs.native_path(path);
    return "Written: " + shown + "\r\rOpen that file (double-click it, then Yes), or run reg import \"" + shown +
           "\", and .pkg files open with Paintwell for this Windows user. No administrator rights are needed.";
  }
  return "The file " + fs.native_path(path) + " could not be written: " + written.error().message +
         "\r\rTo do it by hand, make these keys with the Registry Editor (regedit):\r" + kClasses +
         ".pkg, (Default) = " + kProgId + "\r" + kClasses + kProgId +
         "\\shell\\open\\command, (Default) = " + open_command(program_path) + "\r" + kClasses +
         "SystemFileAssociations\\.zip" + kArchiveVerb + "\\command (and for .7z and .rar), (Default) = " +
         open_command(program_path);
}

}  // namespace pw
