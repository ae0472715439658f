// TProcessInfo's five operations against a scripted host: what each sends,
// where its out-parameters go, and what an inactive component does.
#include <gtest/gtest.h>

#include "cimv2/provider/Classes.h"
#include "components/CProcessInfo.h"
#include "components/MethodResult.h"
#include "tests/support/ComponentFakes.h"

using namespace components;
using namespace compfake;
using cimv2::Value;
using wmi::OleVariant;

namespace {

class ProcessComponentTest : public ::testing::Test {
protected:
    ProcessComponentTest() : backend(std::make_shared<FakeBackend>(cimv2::Win32_ProcessSchema())), host(backend) {
        for (uint32_t pid : {4u, 977u}) {
            cimv2::Instance inst(cimv2::Win32_ProcessSchema());
            inst.SetText("Handle", std::to_string(pid));
            inst.Set("ProcessId", Value::UInt(pid));
            inst.SetText("Caption", "p" + std::to_string(pid));
            backend->instances.push_back(inst);
        }
        process.SetHost(FakeHost::kName);
    }
    std::shared_ptr<FakeBackend> backend;
    FakeHost host;
    NoticeRecorder notices;
    TProcessInfo process;
};

TEST_F(ProcessComponentTest, OperationsSendTheirParametersAndReturnTheCode) {
    process.SetActive(true);
    ASSERT_EQ(process.ObjectsCount(), 2);
    const struct {
        const char* name;
        std::function<int32_t()> call;
        const char* method;
        cimv2::ParamList in;
    } cases[] = {
        {"Terminate",
         [&] { return process.Terminate("Handle", OleVariant::Text("977"), 5); },
         "Terminate",
         {{"Reason", Value::UInt(5)}}},
        {"SetPriority",
         [&] { return process.SetPriority("Handle", OleVariant::Text("977"), 64); },
         "SetPriority",
         {{"Priority", Value::Int(64)}}},
    };
    for (const auto& c : cases) {
        for (uint32_t code : {0u, 2u, 21u}) {
            backend->calls.clear();
            backend->reply = {{"ReturnValue", Value::UInt(code)}};
            EXPECT_EQ(c.call(), static_cast<int32_t>(code)) << c.name;
            ASSERT_EQ(backend->calls.size(), 1u) << c.name;
            EXPECT_EQ(backend->calls[0].method, c.method);
            EXPECT_EQ(backend->calls[0].keys.Get("ProcessId"), Value::UInt(977));
            EXPECT_EQ(backend->calls[0].in, c.in) << c.name;
        }
    }
    EXPECT_EQ(notices.texts, (std::vector<std::string>{"Resultado: 0", "Resultado: 2", "Resultado: 21"}))
        << "SetPriority alone tells its result";
}

TEST_F(ProcessComponentTest, OperationsThatRanNothingAreNoSuccess) {
    const auto nothingRan = static_cast<int32_t>(components::kNothingRan);
    backend->reply = {{"ReturnValue", Value::UInt(0)}};
    // Not active: a warning, and no call.
    EXPECT_EQ(process.Terminate("Handle", OleVariant::Text("977"), 5), nothingRan);
    EXPECT_EQ(notices.texts, std::vector<std::string>{wmi::kWarnNotActive});
    process.SetActive(true);
    // No process with that key.
    EXPECT_EQ(process.Terminate("Handle", OleVariant::Text("31337"), 5), nothingRan);
    EXPECT_EQ(process.SetPriority("Handle", OleVariant::Text("31337"), 64), nothingRan);
    EXPECT_TRUE(backend->calls.empty());
}

TEST_F(ProcessComponentTest, OutParametersReachTheCaller) {
    process.SetActive(true);
    backend->reply = {{"ReturnValue", Value::UInt(0)}, {"User", Value::Text("alice")}, {"Domain", Value::Text("box")}};
    std::string user, domain, sid;
    EXPECT_EQ(process.GetOwner("Handle", OleVariant::Text("4"), user, domain), 0);
    EXPECT_EQ(user, "alice");
    EXPECT_EQ(domain, "box");
    backend->reply = {{"ReturnValue", Value::UInt(0)}, {"Sid", Value::Text("S-1-22-1-1000")}};
    EXPECT_EQ(process.GetOwnerSID("Handle", OleVariant::Text("4"), sid), 0);
    EXPECT_EQ(sid, "S-1-22-1-1000");

    backend->reply = {{"ReturnValue", Value::UInt(0)}, {"ProcessId", Value::UInt(31337)}};
    int32_t pid = -1;
    EXPECT_EQ(process.CreateProcess("sleep 5", "/tmp", 99, pid), 0);
    EXPECT_EQ(pid, 31337);
    ASSERT_FALSE(backend->calls.empty());
    EXPECT_EQ(backend->calls.back().keys.Get("ProcessId"), Value::UInt(4)) << "the first instance the query gives";
    EXPECT_EQ(backend->calls.back().in, (cimv2::ParamList{{"CommandLine", Value::Text("sleep 5")},
                                                          {"CurrentDirectory", Value::Text("/tmp")},
                                                          {"ProcessStartupInformation", Value::Null()}}));
    backend->reply = {{"ReturnValue", Value::UInt(9)}};
    EXPECT_EQ(process.CreateProcess("nothing-here", "", 0, pid), 9);
    EXPECT_EQ(pid, 0) << "no process id when nothing started";
}

TEST_F(ProcessComponentTest, InactiveComponentRunsNothingAndEmptiesOutParameters) {
    std::string user = "x", domain = "y", sid = "z";
    int32_t pid = 5;
    const auto nothingRan = static_cast<int32_t>(components::kNothingRan);
    EXPECT_EQ(process.GetOwner("Handle", OleVariant::Text("4"), user, domain), nothingRan);
    EXPECT_EQ(process.GetOwnerSID("Handle", OleVariant::Text("4"), sid), nothingRan);
    EXPECT_EQ(process.CreateProcess("sleep 1", "", 0, pid), nothingRan);
    EXPECT_EQ(user + domain + sid, "");
    EXPECT_EQ(pid, 0);
    EXPECT_TRUE(backend->calls.empty());
}

}  // namespace
