// Small key=value configuration files (Repaint Configuration Files, .rcf)
// held in memory: loaded from disk or from bytes, looked up by key, built
// and written back.
//
// Syntax: lines end with CR LF or a lone CR (a lone LF stays inside the
// line); a line whose first two characters are "//" is a comment; every
// other line must hold exactly one '=', else it is ignored. Key and value
// lose leading and trailing spaces (tabs stay); a pair whose value is then
// empty is ignored. Keys match without regard to case, the first of
// duplicates wins. Stored values keep two escapes: byte 0xA5 then 'n'
// stands for CR LF, 0xA5 then 'e' for '='.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/platform/file_system.h"

namespace pw {

// A .rcf is a few lines; anything near this size is not one.
inline constexpr std::int64_t kMaxCfgBytes = 16 * 1024 * 1024;

class EZ_CFG {
 public:
  explicit EZ_CFG(FileSystem& fs) : fs_(fs) {}

  // Replaces the pairs with those of the file and returns how many were
  // stored. A missing file gives 0; an unreadable one too (the whole file
  // is read at once, so nothing was stored before the failure).
  std::int32_t ReadCFG(const std::string& CFG_File);
  // As ReadCFG, on bytes already in memory (a package carries its .rcf text).
  std::int32_t ReadCFGText(std::string_view bytes);

  // The value of the first pair whose key equals strName without regard to
  // case, escapes undone; the empty text when there is none. With
  // `Numerical` the value is first turned into its leading number and back
  // into the shortest decimal text ("12.50kg" gives "12.5", "1e2" gives
  // "100", no number gives "0"), and a missing key gives "0".
  std::string GetValue(std::string_view strName, bool Numerical = false) const;

  // Writes every pair with a key as key=value CR LF, values as stored, in
  // one step (temporary file renamed over the old one). False on any
  // failure, and the old file is then unchanged.
  bool WriteCFG(const std::string& CFG_File);

  // Empties the pairs (one empty pair stays) and marks the object loaded;
  // the count of ReadCFG is kept.
  void InitCFG();

  // Sets the value of a key (both trimmed; CR LF and '=' in the value are
  // escaped), adding the pair after the last pair with a key when it is
  // missing. False, with nothing changed, when the trimmed key is empty.
  bool AddToCFG(std::string_view strName, std::string_view strValue);

 private:
  struct Pair {
    std::string key;
    std::string value;  // escapes kept
  };

  FileSystem& fs_;
  std::int32_t pair_count_ = 0;
  std::vector<Pair> pairs_;
  bool loaded_ = false;
};

}  // namespace pw
