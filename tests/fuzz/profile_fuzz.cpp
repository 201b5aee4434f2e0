// libFuzzer target: profile documents (aircraft.cfg). Any bytes parse and
// serialize back unchanged; after any run of writes and section deletions
// a document answers exactly as the parse of its own bytes does, or later
// edits would land on the wrong lines.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/profile.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

struct Names {
  std::vector<std::string> sections;
  std::vector<std::string> keys;
};

void check_same(const pw::ProfileDocument& expected, const pw::ProfileDocument& actual, const Names& names) {
  check(expected.serialize() == actual.serialize());
  check(expected.section_names() == actual.section_names());
  for (const std::string& section : names.sections) {
    for (const std::string& key : names.keys) {
      check(expected.find(section, key) == actual.find(section, key));
      const std::string value = pw::read_profile_value(actual, section, key);
      check(value.size() <= 254 && value.find('\0') == std::string::npos);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string original = input.ConsumeRandomLengthString(4096);
  pw::ProfileDocument doc = pw::ProfileDocument::parse(original);
  check(doc.serialize() == original);
  Names names{{"fltsim.0", "General"}, {"title", "texture"}};
  for (const std::string& name : doc.section_names()) {
    if (names.sections.size() < 12) names.sections.push_back(name);
  }
  for (int step = 0; step < 8 && input.remaining_bytes() > 0; ++step) {
    const bool remove = input.ConsumeIntegralInRange(0, 3) == 0;
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(64);
    names.sections.push_back(section);
    names.keys.push_back(key);
    pw::ProfileDocument reparsed = pw::ProfileDocument::parse(doc.serialize());
    if (remove) {
      const std::size_t count = doc.section_names().size();
      const bool removed = doc.delete_section(section);
      check(reparsed.delete_section(section) == removed);
      check(doc.section_names().size() == count - (removed ? 1 : 0));
    } else {
      doc.write(section, key, value);
      reparsed.write(section, key, value);
    }
    check_same(reparsed, doc, names);
    check_same(pw::ProfileDocument::parse(doc.serialize()), doc, names);
  }
  return 0;
}
