// Win32_Service and its methods against a real systemd, booted by
// tests/support/systemd-sandbox.sh as PID 1 of private namespaces (private
// tmpfs over /tmp, /run, /var/...; a private copy of /etc/systemd/system;
// read-only /proc/sys and /sys; set-up units masked). The test talks to it
// from outside over the bus socket of its dbus-daemon (in its private /run), starts and stops demo units of its
// own, stops it by the PID it started, and checks that nothing outside the
// namespaces changed.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cimv2/core/Wql.h"
#include "cimv2/provider/Provider.h"
#include "cimv2/sources/LogindActions.h"
#include "cimv2/sources/SystemdLibrary.h"
#include "cimv2/sources/SystemdUnits.h"
#include "tests/support/RequiredService.h"
#include "tests/support/ThrowawaySshd.h"

namespace {

namespace fs = std::filesystem;

const std::string kScript = std::string(SYSQUILL_SOURCE_DIR) + "/tests/support/systemd-sandbox.sh";

// Names (and link targets) under a directory, to compare before and after.
std::set<std::string> Snapshot(const fs::path& dir, int depth = 1) {
    std::set<std::string> entries;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::string line = it->path().string();
        if (it->is_symlink(ec)) line += " -> " + fs::read_symlink(it->path(), ec).string();
        entries.insert(line);
        if (it->is_directory(ec) && !it->is_symlink(ec) && it.depth() >= depth) it.disable_recursion_pending();
    }
    return entries;
}

class Sandbox {
public:
    Sandbox() {
        std::string pattern = (fs::temp_directory_path() / "sysquill-sandbox-XXXXXX").string();
        if (!mkdtemp(pattern.data())) return;
        FDir = pattern;
        fs::create_directories(FDir / "units");
        Unit("sysquill-sandbox.target",
             "[Unit]\nDescription=Sysquill sandbox\nDefaultDependencies=no\nWants=dbus.service\n");
        Unit("sysquill-demo-a.service",
             "[Unit]\nDescription=Sysquill demo A\n[Service]\nExecStart=/bin/sleep infinity\n"
             "[Install]\nWantedBy=multi-user.target\n");
        Unit("sysquill-demo-b.service",
             "[Unit]\nDescription=Sysquill demo B\nRequires=sysquill-demo-a.service\n"
             "After=sysquill-demo-a.service\n[Service]\nExecStart=/bin/sleep infinity\n");
        Unit("sysquill-demo-fail.service",
             "[Unit]\nDescription=Sysquill demo that fails\n[Service]\nType=oneshot\nExecStart=/bin/sh -c 'exit 3'\n");
        FStarted = sshtest::Run({kScript, "start", FDir.string()}, (FDir / "start.log").string()) == 0;
        if (FStarted) FPid = std::stoi(sshtest::ReadText(FDir / "pid"));
    }
    ~Sandbox() {
        if (FStarted) Stop();
        std::error_code ec;
        if (!FDir.empty()) fs::remove_all(FDir, ec);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    bool Started() const { return FStarted; }
    pid_t Pid() const { return FPid; }
    std::string Log() const { return sshtest::ReadText(FDir / "start.log") + sshtest::ReadText(FDir / "log"); }
    // Its file system, as its manager sees it.
    std::string Root() const { return "/proc/" + std::to_string(FPid) + "/root"; }
    std::string Address() const { return "unix:path=" + Root() + "/run/dbus/system_bus_socket"; }
    // The manager's own socket, no broker between.
    std::string DirectAddress() const { return "unix:path=" + Root() + "/run/systemd/private"; }
    // Stops systemd by its PID and removes its cgroups; true when all went.
    bool Stop() {
        FStarted = false;
        return sshtest::Run({kScript, "stop", FDir.string()}, (FDir / "stop.log").string()) == 0;
    }

private:
    void Unit(const std::string& name, const std::string& text) { sshtest::WriteText(FDir / "units" / name, text); }

    fs::path FDir;
    bool FStarted = false;
    pid_t FPid = -1;
};

// What the manager itself lists of the unit files, by name: (path, state)
// as ListUnitFiles gives them, and its unit search path. The slow way the
// provider spares itself.
struct ManagerFiles {
    std::map<std::string, std::pair<std::string, std::string>> files;
    std::vector<std::string> searchPath;
};
ManagerFiles ListUnitFiles(const std::string& address) {
    ManagerFiles listed;
    auto* api = cimv2::Systemd();
    if (!api) return listed;
    sd_bus* bus = nullptr;
    if (api->sd_bus_new(&bus) < 0) return listed;
    if (api->sd_bus_set_address(bus, address.c_str()) < 0 || api->sd_bus_set_bus_client(bus, 1) < 0 ||
        api->sd_bus_start(bus) < 0) {
        api->sd_bus_unref(bus);
        return listed;
    }
    sd_bus_error error{};
    sd_bus_message* reply = nullptr;
    if (api->sd_bus_call_method(bus, "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                                "org.freedesktop.systemd1.Manager", "ListUnitFiles", &error, &reply, "") >= 0 &&
        api->sd_bus_message_enter_container(reply, 'a', "(ss)") >= 0) {
        const char *path, *state;
        while (api->sd_bus_message_read(reply, "(ss)", &path, &state) > 0)
            listed.files[fs::path(path).filename().string()] = {path, state};
    }
    api->sd_bus_message_unref(reply);
    api->sd_bus_error_free(&error);
    char** dirs = nullptr;
    if (api->sd_bus_get_property_strv(bus, "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                                      "org.freedesktop.systemd1.Manager", "UnitPath", &error, &dirs) >= 0)
        for (char** d = dirs; d && *d; ++d) {
            listed.searchPath.emplace_back(*d);
            free(*d);
        }
    free(dirs);
    api->sd_bus_error_free(&error);
    api->sd_bus_flush_close_unref(bus);
    return listed;
}

// The stopped (inactive or failed) loaded units whose MainPID the manager
// gives as other than 0.
std::vector<std::string> StoppedUnitsWithAMainPid(const std::string& address,
                                                  const std::vector<cimv2::ServiceUnit>& units) {
    std::vector<std::string> found;
    auto* api = cimv2::Systemd();
    sd_bus* bus = nullptr;
    if (!api || api->sd_bus_new(&bus) < 0) return {"<no bus>"};
    if (api->sd_bus_set_address(bus, address.c_str()) < 0 || api->sd_bus_set_bus_client(bus, 1) < 0 ||
        api->sd_bus_start(bus) < 0) {
        api->sd_bus_unref(bus);
        return {"<no bus>"};
    }
    size_t asked = 0;
    for (const auto& unit : units) {
        if (unit.loadState.empty() || (unit.activeState != "inactive" && unit.activeState != "failed")) continue;
        sd_bus_error error{};
        sd_bus_message* reply = nullptr;
        uint32_t pid = 0;
        if (api->sd_bus_call_method(bus, "org.freedesktop.systemd1", "/org/freedesktop/systemd1",
                                    "org.freedesktop.systemd1.Manager", "GetUnit", &error, &reply, "s",
                                    unit.name.c_str()) >= 0) {
            const char* path = nullptr;
            if (api->sd_bus_message_read(reply, "o", &path) >= 0 &&
                api->sd_bus_get_property_trivial(bus, "org.freedesktop.systemd1", path,
                                                 "org.freedesktop.systemd1.Service", "MainPID", &error, 'u', &pid) >= 0)
                ++asked;
        }
        api->sd_bus_message_unref(reply);
        api->sd_bus_error_free(&error);
        if (pid != 0) found.push_back(unit.name);
    }
    api->sd_bus_flush_close_unref(bus);
    if (asked == 0) found.push_back("<no stopped unit asked>");
    return found;
}

std::string Property(const cimv2::Provider& provider, const std::string& unit, const std::string& property) {
    auto result = provider.ExecQuery("SELECT * FROM Win32_Service WHERE Name = " + cimv2::QuoteWqlString(unit));
    if (result.instances.size() != 1) return "<" + std::to_string(result.instances.size()) + " instances>";
    const cimv2::Value& v = result.instances[0].Get(property);
    return v.IsNull() ? "<null>" : v.ToText();
}

uint32_t Call(const cimv2::Provider& provider, const std::string& unit, const std::string& method,
              const cimv2::ParamList& in = {}) {
    auto result = provider.ExecQuery("SELECT * FROM Win32_Service WHERE Name = " + cimv2::QuoteWqlString(unit));
    if (result.instances.size() != 1) return 9999;
    auto out = provider.ExecMethod("Win32_Service", result.instances[0], method, in);
    return static_cast<uint32_t>(std::stoul(out.at(0).second.ToText()));
}

TEST(ServiceSandbox, MethodsStartAndStopUnitsOfARealSystemdAndNothingOutsideChanges) {
    if (geteuid() != 0) {
        SYSQUILL_SKIP_WITHOUT_SERVICE("a sandboxed systemd needs root for its namespaces");
        return;
    }
    // What must stay as it is: a marker in this machine's /tmp, the names in /run and
    // in /etc/systemd/system.
    const fs::path marker = fs::temp_directory_path() / ("sysquill-marker-" + std::to_string(getpid()));
    sshtest::WriteText(marker, "still here");
    struct RemoveMarker {
        fs::path path;
        ~RemoveMarker() {
            std::error_code ec;
            fs::remove(path, ec);
        }
    } removeMarker{marker};
    // Only the top of /run: other programs of this machine change its depths.
    const auto runBefore = Snapshot("/run", 0);
    const auto runSystemdBefore = Snapshot("/run/systemd", 8);
    const auto etcBefore = Snapshot("/etc/systemd/system", 8);

    {
        Sandbox sandbox;
        if (!sandbox.Started()) {
            SYSQUILL_SKIP_WITHOUT_SERVICE("systemd did not start in private namespaces: " + sandbox.Log());
            return;
        }
        const cimv2::SystemdServices services(sandbox.Address(), "", cimv2::SystemRoot(sandbox.Root()));
        // Only the service calls reach a bus: the sandbox's manager.
        cimv2::SystemdActions actions(nullptr, nullptr, cimv2::UnitManager(sandbox.Address()));
        std::optional<std::vector<cimv2::ServiceUnit>> units;
        for (int n = 0; n < 200 && !units; ++n) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            units = services.Services();
        }
        ASSERT_TRUE(units.has_value()) << "the sandboxed systemd never answered: " << sandbox.Log();
        // Directly on the manager's own socket: the same units as over the bus.
        const cimv2::SystemdServices direct(sandbox.Address(), sandbox.DirectAddress(),
                                            cimv2::SystemRoot(sandbox.Root()));
        EXPECT_TRUE(direct.Services() == units) << "the manager's own socket and the bus disagree";

        // The unit files as the provider lists them are the manager's, and each
        // state it works out from the files is the manager's too.
        const ManagerFiles listed = ListUnitFiles(sandbox.Address());
        ASSERT_FALSE(listed.files.empty()) << "ListUnitFiles gave nothing";
        const cimv2::ServiceUnitFiles files(cimv2::SystemRoot(sandbox.Root()), listed.searchPath);
        std::set<std::string> listedServices, foundServices;
        for (const auto& [name, file] : listed.files)
            if (name.ends_with(".service") && !name.ends_with("@.service")) listedServices.insert(name);
        for (const auto& [name, path] : files.Paths()) {
            foundServices.insert(name);
            if (listed.files.count(name)) {
                EXPECT_EQ(path, listed.files.at(name).first) << name;
            }
        }
        EXPECT_EQ(foundServices, listedServices);
        size_t settled = 0;
        for (const auto& name : listedServices)
            if (auto state = files.PlainState(name)) {
                ++settled;
                EXPECT_EQ(*state, listed.files.at(name).second) << name;
            }
        // Most of them: the masked, the aliases and the static units of this machine.
        EXPECT_GT(settled * 2, listedServices.size()) << settled << " of " << listedServices.size();
        // A stopped unit is shown with no main process: the manager has none for it.
        EXPECT_EQ(StoppedUnitsWithAMainPid(sandbox.Address(), *units), std::vector<std::string>{});

        cimv2::ProviderContext context;
        // Unit files the manager has not loaded are read where it sees them.
        context.root = cimv2::SystemRoot("/proc/" + std::to_string(sandbox.Pid()) + "/root");
        context.services = &services;
        context.actions = &actions;
        const cimv2::Provider provider(context);
        const std::string a = "sysquill-demo-a.service", b = "sysquill-demo-b.service";

        EXPECT_EQ(Property(provider, "dbus.service", "State"), "Running");
        EXPECT_EQ(Property(provider, a, "State"), "Stopped");
        EXPECT_EQ(Property(provider, a, "StartMode"), "Disabled");
        EXPECT_EQ(Property(provider, a, "DisplayName"), "Sysquill demo A");
        EXPECT_EQ(Property(provider, b, "StartMode"), "Manual");

        EXPECT_EQ(Call(provider, a, "StartService"), cimv2::service::Success);
        EXPECT_EQ(Property(provider, a, "State"), "Running");
        EXPECT_EQ(Property(provider, a, "Started"), "True");
        EXPECT_EQ(Property(provider, a, "PathName"), "/bin/sleep infinity");
        EXPECT_NE(Property(provider, a, "ProcessId"), "0");
        EXPECT_EQ(Property(provider, a, "AcceptStop"), "True");
        EXPECT_EQ(Call(provider, a, "StartService"), cimv2::service::ServiceAlreadyRunning);
        EXPECT_EQ(Call(provider, a, "InterrogateService"), cimv2::service::Success);

        EXPECT_EQ(Call(provider, b, "StartService"), cimv2::service::Success);
        EXPECT_EQ(Call(provider, a, "StopService"), cimv2::service::DependentServicesRunning);
        EXPECT_EQ(Property(provider, a, "State"), "Running");
        EXPECT_EQ(Call(provider, b, "StopService"), cimv2::service::Success);
        EXPECT_EQ(Call(provider, a, "StopService"), cimv2::service::Success);
        EXPECT_EQ(Property(provider, a, "State"), "Stopped");
        EXPECT_EQ(Call(provider, a, "StopService"), cimv2::service::ServiceNotActive);
        EXPECT_EQ(Call(provider, a, "InterrogateService"), cimv2::service::ServiceNotActive);
        EXPECT_EQ(Call(provider, a, "PauseService"), cimv2::service::ServiceNotActive);

        EXPECT_EQ(Call(provider, "sysquill-demo-fail.service", "StartService"), cimv2::service::UnknownFailure);
        EXPECT_EQ(Property(provider, "sysquill-demo-fail.service", "ExitCode"), "1066");
        EXPECT_EQ(Property(provider, "sysquill-demo-fail.service", "ServiceSpecificExitCode"), "3");

        EXPECT_EQ(Call(provider, a, "ChangeStartMode", {{"StartMode", cimv2::Value::Text("Automatic")}}), 0u);
        EXPECT_EQ(Property(provider, a, "StartMode"), "Auto");
        EXPECT_EQ(Call(provider, a, "ChangeStartMode", {{"StartMode", cimv2::Value::Text("Sometimes")}}),
                  cimv2::service::InvalidParameter);
        EXPECT_EQ(Property(provider, a, "StartMode"), "Auto");
        EXPECT_EQ(Call(provider, a, "ChangeStartMode", {{"StartMode", cimv2::Value::Text("Disabled")}}), 0u);
        EXPECT_EQ(Property(provider, a, "StartMode"), "Disabled");
        EXPECT_EQ(Call(provider, a, "StartService"), cimv2::service::ServiceDisabled);
        EXPECT_EQ(Property(provider, a, "State"), "Stopped");
        EXPECT_EQ(Call(provider, a, "ChangeStartMode", {{"StartMode", cimv2::Value::Text("Manual")}}), 0u);
        EXPECT_EQ(Call(provider, a, "StartService"), cimv2::service::Success);

        // A unit name with a quote reaches no unit and changes nothing.
        EXPECT_EQ(Property(provider, "sysquill-demo-a.service' OR Name <> '", "State"), "<0 instances>");
        EXPECT_EQ(Call(provider, "sysquill-demo-a.service\" OR Name <> \"", "StopService"), 9999u);
        EXPECT_EQ(actions.ControlService("sysquill-demo-a'.service", cimv2::ServiceControl::Stop),
                  cimv2::service::InvalidName);
        EXPECT_EQ(Property(provider, a, "State"), "Running");

        const pid_t pid = sandbox.Pid();
        EXPECT_TRUE(sandbox.Stop()) << "systemd's cgroups outlived it";
        EXPECT_NE(kill(pid, 0), 0) << "systemd still runs";
    }
    EXPECT_TRUE(fs::exists(marker)) << "the real /tmp lost a file";
    EXPECT_EQ(Snapshot("/run", 0), runBefore) << "the real /run changed";
    EXPECT_EQ(Snapshot("/run/systemd", 8), runSystemdBefore) << "the real /run/systemd changed";
    EXPECT_EQ(Snapshot("/etc/systemd/system", 8), etcBefore) << "the real /etc/systemd/system changed";
}

}  // namespace
