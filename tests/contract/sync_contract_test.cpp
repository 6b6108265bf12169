// Mutexes, events, mailslots and the environment.
#include <string>

#include "tests/contract/contract_fixture.h"

namespace contract {
namespace {

using SyncContract = PortContract;

// A name no other run uses at the same time.
std::string UniqueName(os::System& port, const std::string& stem) {
  static unsigned counter = 0;
  return stem + "-" + std::to_string(port.TickCount()) + "-" + std::to_string(++counter);
}

TEST_F(SyncContract, NamedMutexCreatedTwiceReportsThatItExists) {
  std::string name = UniqueName(port(), "PortContractMutex");
  os::Handle first = port().CreateMutex(name, true);
  ASSERT_NE(first, 0u);
  EXPECT_EQ(port().WaitForSingleObject(first, 0), os::kWaitObject0);  // the owner may re-enter
  port().SetLastError(0);
  os::Handle second = port().CreateMutex(name, false);
  EXPECT_NE(second, 0u);
  EXPECT_EQ(port().LastError(), os::kErrorAlreadyExists);
  port().CloseHandle(second);
  port().CloseHandle(first);
}

TEST_F(SyncContract, MutexNameWithABackslashFails) {
  EXPECT_EQ(port().CreateMutex("Port\\Contract", false), 0u);
}

TEST_F(SyncContract, EventsSignalAndReset) {
  os::Handle automatic = port().CreateEvent(false, false);
  os::Handle manual = port().CreateEvent(true, false);
  ASSERT_NE(automatic, 0u);
  ASSERT_NE(manual, 0u);
  EXPECT_EQ(port().WaitForSingleObject(automatic, 0), os::kWaitTimeout);
  ASSERT_TRUE(port().SetEvent(automatic));
  ASSERT_TRUE(port().SetEvent(manual));
  EXPECT_EQ(port().WaitForSingleObject(automatic, 0), os::kWaitObject0);
  EXPECT_EQ(port().WaitForSingleObject(automatic, 0), os::kWaitTimeout);  // reset by the wait
  EXPECT_EQ(port().WaitForSingleObject(manual, 0), os::kWaitObject0);
  EXPECT_EQ(port().WaitForSingleObject(manual, 0), os::kWaitObject0);
  port().CloseHandle(automatic);
  port().CloseHandle(manual);
}

TEST_F(SyncContract, ThreadRunsItsBody) {
  os::Handle done = port().CreateEvent(true, false);
  os::System& p = port();
  os::Handle thread = port().StartThread(
      [&p, done] {
        p.SetEvent(done);
        return 5u;
      },
      os::kThreadPriorityNormal);
  ASSERT_NE(thread, 0u);
  EXPECT_EQ(port().WaitForSingleObject(thread, 10000), os::kWaitObject0);
  EXPECT_EQ(port().WaitForSingleObject(done, 0), os::kWaitObject0);
  port().CloseHandle(thread);
  port().CloseHandle(done);
}

TEST_F(SyncContract, MailslotCarriesMessagesInOrder) {
  std::string name = "\\\\.\\mailslot\\" + UniqueName(port(), "portcontract");
  os::Handle slot = port().CreateMailslot(name, 0);
  ASSERT_NE(slot, 0u);
  std::string message;
  EXPECT_FALSE(port().ReadMailslot(slot, 0, &message));  // nothing yet
  EXPECT_TRUE(port().WriteMailslot(name, "first"));
  EXPECT_TRUE(port().WriteMailslot(name, "second"));
  EXPECT_TRUE(port().ReadMailslot(slot, 0, &message));
  EXPECT_EQ(message, "first");
  EXPECT_TRUE(port().ReadMailslot(slot, 0, &message));
  EXPECT_EQ(message, "second");
  port().CloseHandle(slot);
  EXPECT_FALSE(port().WriteMailslot(name, "nobody reads"));
}

TEST_F(SyncContract, EnvironmentVariablesAndExpansion) {
  ASSERT_TRUE(port().SetEnvironmentVariable("PORT_CONTRACT_X", std::string("abc")));
  EXPECT_EQ(port().GetEnvironmentVariable("port_contract_x"), "abc");  // names ignore case
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"%PORT_CONTRACT_X%\\y", "abc\\y"},
      {"<%port_contract_x%>", "<abc>"},
      {"%PORT_CONTRACT_UNSET%", "%PORT_CONTRACT_UNSET%"},  // unknown names stay
      {"100%", "100%"},
      {"plain", "plain"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(port().ExpandEnvironmentStrings(c.text, 1024), c.expected);
  }
  ASSERT_TRUE(port().SetEnvironmentVariable("PORT_CONTRACT_X", std::nullopt));
  EXPECT_EQ(port().GetEnvironmentVariable("PORT_CONTRACT_X"), std::nullopt);
}

}  // namespace
}  // namespace contract
