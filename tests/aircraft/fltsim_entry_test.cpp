#include "aircraft/fltsim_entry.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

// The record's offsets are also pinned by the hostile corpus, laid out
// field by field apart from this code.
TEST(FltsimEntry, StoredFormIsBlankFilledAndCutAndReadsBack) {
  FltsimEntry entry;
  entry.title = std::string(300, 'T');
  entry.texture = "Blue";
  entry.atc_heavy = "";
  entry.rcf_text = "folder=x";
  std::string record = store_entry(entry);
  ASSERT_EQ(kFltsimRecordSize, record.size());
  EXPECT_EQ(std::string(255, 'T'), record.substr(0, 255));
  EXPECT_EQ("Blue" + std::string(146, ' '), record.substr(805, 150));
  EXPECT_EQ(std::string(10, ' '), record.substr(1615, 10));
  EXPECT_EQ("folder=x" + std::string(kRcfTextSize - 8, '\0'), record.substr(3915));  // NUL-filled

  entry.rcf_text = "folder=x\r\n" + std::string(kRcfTextSize - 10, '\0');
  record = store_entry(entry);
  EXPECT_EQ(entry.rcf_text, record.substr(3915));
  const FltsimEntry back = load_entry(record);
  EXPECT_EQ(std::string(255, 'T'), back.title);
  EXPECT_EQ("Blue", back.texture);
  EXPECT_EQ("", back.atc_heavy);
  EXPECT_EQ(entry.rcf_text, back.rcf_text);

  const FltsimField& heavy = fltsim_fields()[12];
  ASSERT_STREQ("atc_heavy", heavy.key);
  set_field(entry, heavy, "123456789012");
  EXPECT_EQ("1234567890", entry.atc_heavy);  // cut to its width
}

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
