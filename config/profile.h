// Profile files (aircraft.cfg): sections in square brackets holding
// key=value lines, read and written with the behaviour of the Windows
// profile functions. The file is parsed once into a ProfileDocument; all
// reads and writes of one operation work on that document, and the caller
// saves it once.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/platform/file_system.h"
#include "base/result.h"
#include "config/byte_store.h"

namespace pw {

class ProfileDocument {
 public:
  struct KeyValue {
    std::string_view key;
    std::string_view value;
  };

  ProfileDocument() = default;
  // Any bytes parse; lines end with CR LF, LF or a lone CR.
  static ProfileDocument parse(std::string_view bytes);
  // The file's bytes: lines never touched by a write come back byte for byte.
  std::string serialize() const;

  // The value of the first `key` in the first `section` (names compared
  // trimmed and without regard to case), with surrounding blanks and tabs and
  // one pair of matching double or single quotes removed; nullopt when the
  // section or key is missing. No length cut. A key line is read up to its
  // first '='; a line without one is a key with the empty value. Lines
  // before the first header belong to no section; an empty key is never found.
  std::optional<std::string> find(std::string_view section, std::string_view key) const;

  // Sets key=value (key and section spelled as the caller gives them):
  // replaces the first such key line of the first such section in place,
  // keeping that line's own line end (CR LF when it was the file's last line
  // without one); a missing key is added after the last non-blank line of
  // its section, before the empty lines that part it from the next one; a
  // missing section is added at the end of the file, after a CR LF when the
  // last line has none. New lines end with CR LF. The value is written byte
  // for byte: a line end inside it becomes a line end of the file, and the
  // document then reads and writes as the parse of its bytes would. An empty
  // key names no line: its line is always added.
  void write(std::string_view section, std::string_view key, std::string_view value);

  // Sets each key in turn, as write() called for each would; the lines of a
  // new section are added in one step instead of one search per key.
  void write_all(std::string_view section, const std::vector<KeyValue>& values);

  // Removes the first such section: its header and every line up to the
  // next header. False when there is no such section.
  bool delete_section(std::string_view section);

  // Removes, for each name in turn, the first section of that name still
  // present, as delete_section called for each name would, in one pass
  // over the document. Returns how many sections were removed.
  std::size_t delete_sections(const std::vector<std::string>& sections);

  // Section names in file order, trimmed, duplicates included.
  std::vector<std::string> section_names() const;

  // Position in section_names() of the first section of that name (as
  // `find` picks it); nullopt when there is none.
  std::optional<std::size_t> section_position(std::string_view section) const;

  // `find` in the section at `position` in section_names() (a duplicate
  // section too). nullopt when the key is missing or the position is out
  // of range.
  std::optional<std::string> find_in(std::size_t position, std::string_view key) const;

  // Every key line of the section at `position`, in file order, later
  // duplicates included: one pass instead of one look-up per key. Keys are
  // trimmed as written, values as `find` gives them. The views stay valid,
  // through later changes too, until the document is destroyed or assigned
  // to: a document never releases bytes it has read or written. Empty when
  // out of range.
  std::vector<KeyValue> key_values(std::size_t position) const;

  // Renames the section at `position`: its header line becomes "[name]"
  // with the line's own line end; every other line stays as it is.
  void rename_section(std::size_t position, std::string_view name);

 private:
  struct Section {
    std::string_view name;                // trimmed, as written
    std::vector<std::string_view> lines;  // header first (absent for the preamble); raw with line ends
  };
  static constexpr std::size_t kNoSection = 0;  // the preamble is never found by name

  // Index into sections_ of the first section of that name, or kNoSection.
  std::size_t section_index(std::string_view name) const;
  void rebuild_index() const;
  void append_section(std::string_view section, std::string_view key, std::string_view value);
  void ensure_line_end(std::string_view& line);
  // Adds values[1..] to the section the first write just appended, as far
  // as they can go in one step; returns how many were added.
  std::size_t append_plain_lines(std::string_view section, const std::vector<KeyValue>& values);
  // Replaces lines [first, last) of section `s` with the lines of `text`
  // (kept bytes), splitting the section where the new lines hold headers.
  void splice(std::size_t s, std::size_t first, std::size_t last, std::string_view text);
  void split_at_new_headers(std::size_t s, std::size_t from, std::size_t to);

  ByteStore store_;
  std::vector<Section> sections_ = std::vector<Section>(1);  // [0]: the preamble before any header
  mutable std::unordered_map<std::string, std::size_t> index_;  // lower-case name -> first section
  mutable bool index_valid_ = false;
};

// The longest value ReadProfileString gives: the platform copies into a
// 255-byte buffer, one byte of which is the NUL.
inline constexpr std::size_t kMaxProfileValue = 254;

// What ReadProfileString gives for a value `find` found: cut to
// kMaxProfileValue characters, NULs turned to blanks, blanks trimmed.
std::string clip_profile_value(std::string_view found);

// ReadProfileString on a parsed document: the clipped value; the empty
// text when missing or empty.
std::string read_profile_value(const ProfileDocument& document, std::string_view section,
                               std::string_view key);

// The profile wrappers over files. Parsed documents are cached and re-read
// only when the file's stamp changes, so many single-key reads of a large
// file parse it once.
class ProfileStore {
 public:
  explicit ProfileStore(FileSystem& fs) : fs_(fs) {}

  // The parsed file; an empty document when the file is missing.
  // Errors: those of reading the file; kRefused above 64 MiB.
  Result<std::shared_ptr<const ProfileDocument>> load(const std::string& file);
  // Replaces the file with the document's bytes in one step (temporary file
  // beside it, synced, renamed over). Errors: those of the file layer; the
  // old file is then unchanged.
  Result<void> save(const std::string& file, const ProfileDocument& document);

  // Single-key wrappers. A read of a missing or unreadable file gives the
  // empty text.
  std::string ReadProfileString(std::string_view section, std::string_view key, const std::string& file);
  // Writes one key (between double quotes when `quote`) and saves the file;
  // a missing file is created. Unlike the platform function, a refused
  // write is reported. Errors: those of load and save.
  Result<void> WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                                  const std::string& file, bool quote);
  // Removes the section and saves the file; a missing section (or file) is
  // success and the file is not rewritten. Errors: those of load and save.
  Result<void> DeleteProfileSection(std::string_view section, const std::string& file);

  // How many times a file was parsed since construction (for benchmarks and tests).
  std::size_t parse_count() const { return parse_count_; }

 private:
  struct Cached {
    std::optional<FileStamp> stamp;  // nullopt: the file was missing
    std::shared_ptr<const ProfileDocument> document;
  };
  Result<void> save_owned(const std::string& file, std::shared_ptr<const ProfileDocument> document);
  FileSystem& fs_;
  std::unordered_map<std::string, Cached> cache_;  // by native path
  std::size_t parse_count_ = 0;
};

}  // namespace pw
