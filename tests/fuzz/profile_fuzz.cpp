// libFuzzer target: profile documents (aircraft.cfg). Any bytes parse and
// serialize back unchanged; after any run of writes (one key or several at
// once) and section deletions
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

struct Names { std::vector<std::string> sections; std::vector<std::string> keys; };

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
    const int operation = input.ConsumeIntegralInRange(0, 4);
    const std::string section = input.ConsumeRandomLengthString(24);
    names.sections.push_back(section);
    pw::ProfileDocument reparsed = pw::ProfileDocument::parse(doc.serialize());
    if (operation == 0) {
      const std::size_t count = doc.section_names().size();
      const bool removed = doc.delete_section(section);
      check(reparsed.delete_section(section) == removed);
      check(doc.section_names().size() == count - (removed ? 1 : 0));
    } else {
      // Several keys at once (write_all) must equal one write per key.
      const int count = operation == 1 ? input.ConsumeIntegralInRange(1, 6) : 1;
      std::vector<std::string> keys, values;
      for (int i = 0; i < count; ++i) {
        keys.push_back(input.ConsumeRandomLengthString(24));
        values.push_back(input.ConsumeRandomLengthString(64));
        names.keys.push_back(keys.back());
      }
      std::vector<pw::ProfileDocument::KeyValue> pairs;
      for (int i = 0; i < count; ++i) pairs.push_back({keys[i], values[i]});
      doc.write_all(section, pairs);
      for (int i = 0; i < count; ++i) reparsed.write(section, keys[i], values[i]);
    }
    check_same(reparsed, doc, names);
    check_same(pw::ProfileDocument::parse(doc.serialize()), doc, names);
  }
  return 0;
}
