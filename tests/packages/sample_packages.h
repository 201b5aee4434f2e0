// Packages made with the writer for the reader tests.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "packages/package_format.h"
#include "tests/packages/memory_files.h"

namespace pw::testing {

struct SampleFile {
  std::string name;
  std::string bytes;
};

inline FltsimEntry sample_entry() {
  FltsimEntry entry;
  entry.title = "Cessna 172 Air Tahiti";
  entry.texture = "Blue";
  entry.ui_variation = "Air (Tahiti) [2007]";
  entry.rcf_text = "folder=SimObjects\\Airplanes\\C172\r\n";
  return entry;
}

inline std::string make_package(const std::optional<std::string>& preview,
                                const std::vector<SampleFile>& files,
                                const FltsimEntry& entry = sample_entry()) {
  std::vector<PackageFile> table;
  std::string data;
  for (const SampleFile& f : files) {
    table.push_back({f.name, static_cast<std::int32_t>(f.bytes.size())});
    data += f.bytes;
  }
  MemoryOutputFile out;
  const Result<void> written = write_package(out, entry, preview, table, data);
  EXPECT_TRUE(written.ok()) << (written.ok() ? "" : written.error().message);
  return out.bytes();
}

}  // namespace pw::testing
