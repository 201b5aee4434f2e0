#include "app/aircraft_session.h"

#include <gtest/gtest.h>

#include <optional>

#include "packages/sim_tree.h"

namespace pw {
namespace {

using test::SimTree;

TEST(AircraftSession, ASecondWriterWaitsThenIsRefusedUntilTheFirstIsDone) {
  SimTree t;
  std::optional<Result<AircraftSession>> first(AircraftSession::open(t.ctx));
  ASSERT_TRUE(first->ok());
  const auto start = std::chrono::steady_clock::now();
  const Result<AircraftSession> second = AircraftSession::open(t.ctx, std::chrono::milliseconds{300});
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds{300});
  ASSERT_FALSE(second.ok());
  EXPECT_EQ(kAircraftBusyMessage, second.error().message);
  first.reset();
  EXPECT_TRUE(AircraftSession::open(t.ctx, {}).ok());
}

TEST(AircraftSession, EntriesAreTakenAsTheCallerSawThem) {
  SimTree t;
  const EntryIdentity silver = identity_of(t.ctx.state, 1), green = identity_of(t.ctx.state, 2);
  // Another writer renumbers Green behind the caller's back.
  const std::string renumbered = test::kOriginalCfg.substr(0, test::kOriginalCfg.find("[fltsim.3]")) +
                                 "[fltsim.2]" + test::kOriginalCfg.substr(test::kOriginalCfg.find("[fltsim.3]") + 10);
  t.dir.write(t.plane("Aircraft.cfg"), renumbered);
  Result<AircraftSession> aircraft = AircraftSession::open(t.ctx);
  ASSERT_TRUE(aircraft.ok());
  for (const auto& [what, entries] : {std::pair{"remove", std::vector{silver, green}}, {"pack", std::vector{green}}}) {
    SCOPED_TRACE(what);
    const Error error = what == std::string("remove") ? aircraft->remove(entries).error
                                                       : aircraft->pack(entries[0], {"x.dds"}, std::nullopt).error();
    EXPECT_EQ(kAircraftChangedMessage, error.message);
    EXPECT_EQ(renumbered, t.cfg());
  }
  ASSERT_EQ(RemovalOutcome::kDone, aircraft->remove({silver}).outcome);
  EXPECT_EQ("Cessna Green", aircraft->aircraft().g_AircraftEntries.at(1).title);
  EXPECT_EQ(RemovalOutcome::kDone, aircraft->remove({identity_of(aircraft->aircraft(), 1)}).outcome);
}

TEST(AircraftSession, NothingIsRemovedOrReplacedWhileANumberIsUsedTwice) {
  SimTree t;
  const std::string twice = test::kOriginalCfg + "\r\n[fltsim.1]\r\ntitle=Twin\r\ntexture=Twin\r\n";
  t.dir.write(t.plane("Aircraft.cfg"), twice);
  t.dir.write("red.pkg", test::package_bytes(test::red_entry(), std::nullopt, test::blue_files()));
  Result<AircraftSession> aircraft = AircraftSession::open(t.ctx);
  ASSERT_TRUE(aircraft.ok());
  EXPECT_EQ(ErrorCode::kRefused, aircraft->remove({identity_of(t.ctx.state, 0)}).error.code);
  EXPECT_EQ(ErrorCode::kRefused,
            aircraft->install(t.dir.path() + "\\red.pkg", {false, DuplicateChoice::kReplace}).error.code);
  EXPECT_EQ(twice, t.cfg());
}

TEST(AircraftSession, EveryFailingCallOfAReplaceLeavesTheInstalledRepaint) {
  test::each_failing_call(200, [](int k) {
    SimTree t;
    t.dir.write("red.pkg", test::package_bytes(test::red_entry(), std::nullopt, test::blue_files()));
    Result<AircraftSession> aircraft = AircraftSession::open(t.ctx);
    EXPECT_TRUE(aircraft.ok());
    t.faulty.fail_at(k);
    const InstallReport report = aircraft->install(t.dir.path() + "\\red.pkg", {false, DuplicateChoice::kReplace});
    if (report.outcome == InstallOutcome::kInstalled) {
      EXPECT_EQ(t.cfg().find("title=Cessna Red"), t.cfg().rfind("title=Cessna Red"));  // the old entry went
      EXPECT_TRUE(t.dir.exists(t.plane("Texture.Red/texture.bmp")));
      return !t.faulty.failed_call().empty();
    }
    EXPECT_EQ(test::kOriginalCfg, t.cfg());
    EXPECT_EQ(std::vector<std::string>{"red.bmp"}, t.dir.names(t.plane("Texture.Red"))) << report.error.message;
    return true;
  });
}

}  // namespace
}  // namespace pw
