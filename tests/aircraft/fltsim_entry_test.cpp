#include "aircraft/fltsim_entry.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

// Each field read back from where it was stored, so that no offset of the
// field table strays from the widths before it.
TEST(FltsimEntry, EveryFieldRoundTrips) {
  const auto value = [](const FltsimField& field) {
    std::string v = (std::string(field.key) + "=").substr(0, field.width);  // distinct in every field
    if (field.member == &FltsimEntry::rcf_text) v.resize(kRcfTextSize, '\0');
    return v;
  };
  FltsimEntry entry;
  for (const FltsimField& field : fltsim_fields()) set_field(entry, field, value(field));
  const FltsimEntry back = load_entry(store_entry(entry));
  for (const FltsimField& field : fltsim_fields()) EXPECT_EQ(value(field), back.*field.member) << field.key;
}

}  // namespace
}  // namespace pw
