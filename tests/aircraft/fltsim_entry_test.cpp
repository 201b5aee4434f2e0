#include "aircraft/fltsim_entry.h"

#include <gtest/gtest.h>

namespace pw {
namespace {

TEST(FltsimEntry, FieldTableTilesTheRecord) {
  std::size_t offset = 0;
  for (const FltsimField& field : fltsim_fields()) {
    SCOPED_TRACE(field.key);
    EXPECT_EQ(offset, field.offset);
    offset += field.width;
  }
  EXPECT_EQ(kFltsimRecordSize, offset);
}

TEST(FltsimEntry, StoredFormIsBlankFilledAndCut) {
  FltsimEntry entry;
  entry.title = std::string(300, 'T');
  entry.texture = "Blue";
  entry.atc_heavy = "";
  entry.rcf_text = std::string("folder=x\r\n") + std::string(kRcfTextSize - 10, '\0');
  const std::string record = store_entry(entry);
  ASSERT_EQ(kFltsimRecordSize, record.size());
  EXPECT_EQ(std::string(255, 'T'), record.substr(0, 255));
  EXPECT_EQ("Blue" + std::string(146, ' '), record.substr(805, 150));
  EXPECT_EQ(std::string(10, ' '), record.substr(1615, 10));
  EXPECT_EQ(entry.rcf_text, record.substr(3915));

  const FltsimEntry back = load_entry(record);
  EXPECT_EQ(std::string(255, 'T'), back.title);
  EXPECT_EQ("Blue", back.texture);
  EXPECT_EQ("", back.atc_heavy);
  EXPECT_EQ(entry.rcf_text, back.rcf_text);
}

TEST(FltsimEntry, ShortRcfTextIsNulFilled) {
  FltsimEntry entry;
  entry.rcf_text = "folder=x";
  const std::string record = store_entry(entry);
  EXPECT_EQ("folder=x" + std::string(kRcfTextSize - 8, '\0'), record.substr(3915));
}

TEST(FltsimEntry, SetFieldCutsToWidth) {
  FltsimEntry entry;
  const FltsimField& heavy = fltsim_fields()[12];
  ASSERT_STREQ("atc_heavy", heavy.key);
  set_field(entry, heavy, "123456789012");
  EXPECT_EQ("1234567890", entry.atc_heavy);
}

}  // namespace
}  // namespace pw
