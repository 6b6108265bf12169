#include "components/heartbeat.h"

#include <gtest/gtest.h>

#include "tests/components/components_fixture.h"

namespace {

using testing_support::ComponentsTest;

class HeartbeatTest : public ComponentsTest {};

TEST_F(HeartbeatTest, CountersOfTheLaps) {
  struct Case {
    int beat;
    std::uint32_t position, level;
  } cases[] = {
      {1, 5, 5},      // the first lap starts at 5
      {96, 100, 5},   // and ends at 100
      {97, 0, 5},     // the next laps start at 0
      {905, 0, 5},    // the tenth lap begins
      {906, 1, 6},    // during which the level rises by one per beat
      {980, 75, 80},  //
      {981, 76, 81},  // up to 81
      {982, 77, 81},  // where it stays
  };
  os::Handle neverSet = sim->CreateEvent(true, false);
  components::HeartbeatCounters counters;
  for (int beat = 1; beat <= 982; ++beat)
    ASSERT_TRUE(components::HeartbeatPass(counters, neverSet));

  std::vector<cls::StatusMessage> beats = Heartbeats();
  ASSERT_EQ(beats.size(), 982u);
  for (const Case& t : cases) {
    const cls::StatusMessage& m = beats[t.beat - 1];
    EXPECT_EQ(m.position, t.position) << "beat " << t.beat;
    EXPECT_EQ(m.level2, t.level) << "beat " << t.beat;
  }
  const cls::StatusMessage& first = beats[0];
  EXPECT_EQ(first.form, 'H');
  EXPECT_EQ(first.level, 1u);
  EXPECT_EQ(first.source, "TALVERON");
  EXPECT_EQ(first.text, "");
  EXPECT_EQ(first.sender, "SIMPC");
  // One beat per 10 s, to this computer's own status slot.
  EXPECT_EQ(sim->MailslotMessages()[1].atMs - sim->MailslotMessages()[0].atMs, 10000u);
  EXPECT_EQ(sim->MailslotMessages()[0].path, "\\\\.\\mailslot\\SetupStatus");
}

TEST_F(HeartbeatTest, SetStopEventEndsTheLoopWithoutAnotherBeat) {
  os::Handle stop = sim->CreateEvent(true, true);
  components::HeartbeatCounters counters;
  EXPECT_FALSE(components::HeartbeatPass(counters, stop));
  EXPECT_EQ(Heartbeats().size(), 1u);  // the beat under way completes
}

TEST_F(HeartbeatTest, BeatsWhileTheComponentsInstallAndNoneAfterReturn) {
  // The identity installer runs 25 s, then the launcher settles 2 s: beats at 0, 10, 20.
  PreInstallScc("Command_EKSM=C:\\eksm\\install.exe /s /f1\n");
  Icf("LocalKDB=NO\nKDBHost=simpc\nLocaleKSM=YES\neKSMPass=pw\n");
  sim->WriteFileText(kTemplate, "pass=<EKSMADMINPASS>\n");
  sim->RegisterProgram(
      "C:\\eksm\\install.exe",
      [](os::SimMachine& m, const os::SimLaunch&) {
        m.SetRegString("SOFTWARE\\Quorvane\\Embedded KSM", "LocationPath", "C:\\eksm");
        return 0u;
      },
      25000);
  ASSERT_EQ(InstallShared(), std::nullopt);
  std::size_t beatsAtReturn = Heartbeats().size();
  EXPECT_EQ(beatsAtReturn, 3u);
  sim->AdvanceClock(60000);
  EXPECT_EQ(Heartbeats().size(), beatsAtReturn);
}

TEST_F(HeartbeatTest, StoppedBeforeTheProcessEnds) {
  Icf("LocalKDB=NO\nKDBHost=simpc\nLocaleKSM=YES\n");  // no installer and no marker
  EXPECT_EQ(InstallShared(), 1u);
  std::size_t beatsAtExit = Heartbeats().size();
  EXPECT_EQ(beatsAtExit, 1u);
  sim->AdvanceClock(60000);
  EXPECT_EQ(Heartbeats().size(), beatsAtExit);
}

}  // namespace
