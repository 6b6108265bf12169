// The calling thread's message queue, waits that wake on input, privileges and the
// machine facts that every machine has.
#include <string>

#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using MessagesContract = PortContract;
using MachineContract = PortContract;

TEST_F(MessagesContract, MessageLoopAnswersTheQuitCode) {
  port().PostQuitMessage(3);
  EXPECT_EQ(port().RunMessageLoop(), 3);
}

TEST_F(MessagesContract, PostedMessageWakesTheWaitUntilPumped) {
  os::Handle never = port().CreateEvent(true, false);
  ASSERT_NE(never, 0u);
  EXPECT_EQ(port().MsgWaitForSingleObject(never, 0), os::kWaitTimeout);
  ASSERT_TRUE(port().PostThreadMessage(port().CurrentThreadId(), os::kWmUser + 1, 0, 0));
  EXPECT_EQ(port().MsgWaitForSingleObject(never, 0), os::kWaitObject0 + 1);
  port().PumpPendingMessages();
  EXPECT_EQ(port().MsgWaitForSingleObject(never, 0), os::kWaitTimeout);
  ASSERT_TRUE(port().SetEvent(never));
  EXPECT_EQ(port().MsgWaitForSingleObject(never, 0), os::kWaitObject0);
  port().CloseHandle(never);
}

TEST_F(MachineContract, UnknownPrivilegeIsReported) {
  EXPECT_EQ(port().AdjustPrivilege("SeNoSuchPortContractPrivilege", true),
            os::kErrorNoSuchPrivilege);
}

TEST_F(MachineContract, ComputerNameNeedsRoomForItsZero) {
  std::optional<std::string> name = port().ComputerName(64);
  ASSERT_TRUE(name.has_value());
  EXPECT_FALSE(name->empty());
  EXPECT_TRUE(port().ComputerName(name->size() + 1).has_value());
  EXPECT_FALSE(port().ComputerName(name->size()).has_value());
}

TEST_F(MachineContract, VersionIsAnNtVersionWithItsServicePackRecord) {
  os::OsVersion version = port().Version();
  EXPECT_EQ(version.platformId, os::kPlatformNt);
  EXPECT_GE(version.major, 5u);
  EXPECT_TRUE(version.extendedQueryWorks);
}

}  // namespace
}  // namespace contract
