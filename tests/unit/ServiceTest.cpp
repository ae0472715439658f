// Win32_Service from a service manager (a source in memory) and from unit
// files, its methods' return codes, and the service component over both.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Provider.h"
#include "cimv2/sources/SystemdUnits.h"
#include "components/CServiceInfo.h"
#include "components/MethodResult.h"
#include "tests/support/ComponentFakes.h"
#include "tests/support/InstanceText.h"
#include "tests/support/LocalComputer.h"
#include "tests/unit/TempTree.h"
#include "wmi/WbemScripting.h"

namespace {

using cimv2::ServiceControl;
using cimv2::ServiceStartMode;
using cimv2::ServiceUnit;
using cimv2::Value;
namespace code = cimv2::service;

class FakeServices : public cimv2::ServiceSource {
public:
    std::optional<std::vector<ServiceUnit>> units;
    std::optional<std::vector<ServiceUnit>> Services() const override { return units; }
};

class RecordingServiceActions : public cimv2::SystemActions {
public:
    uint32_t SetStaticHostName(const std::string&) override { return 0; }
    uint32_t ControlService(const std::string& name, ServiceControl control) override {
        controls.emplace_back(name, control);
        return answer;
    }
    uint32_t ChangeServiceStartMode(const std::string& name, ServiceStartMode mode) override {
        modes.emplace_back(name, mode);
        return answer;
    }
    std::vector<std::pair<std::string, ServiceControl>> controls;
    std::vector<std::pair<std::string, ServiceStartMode>> modes;
    uint32_t answer = 0;
};

std::map<std::string, cimv2::Instance> ByName(const std::vector<cimv2::Instance>& instances) {
    std::map<std::string, cimv2::Instance> byName;
    for (const auto& inst : instances) byName.emplace(inst.Get("Name").text, inst);
    return byName;
}

using testsupport::Text;

TEST(ServiceStartMode, UnitFileStatesMapToWmiModes) {
    struct Case {
        const char* state;
        const char* mode;
    } cases[] = {
        {"enabled", "Auto"},    {"enabled-runtime", "Auto"},    {"static", "Manual"},
        {"indirect", "Manual"}, {"generated", "Manual"},        {"disabled", "Disabled"},
        {"masked", "Disabled"}, {"masked-runtime", "Disabled"}, {"bad", nullptr},
        {"", nullptr},          {"Enabled", nullptr},
    };
    for (const auto& c : cases) {
        auto mode = cimv2::StartModeOfUnitFileState(c.state);
        EXPECT_EQ(mode.value_or("<none>"), c.mode ? c.mode : "<none>") << c.state;
    }
}

TEST(ServiceNames, OnlyUnitNamesSystemdAccepts) {
    struct Case {
        const char* name;
        bool valid;
    } cases[] = {
        {"cups.service", true},
        {"getty@tty1.service", true},
        {"dev-x\\x2d1.service", true},
        {"a'b.service", false},
        {"a\"b.service", false},
        {"a b.service", false},
        {"../x.service", false},
        {"x.socket", false},
        {".service", false},
        {"@x.service", false},
        {"", false},
        {"x.service\n", false},
    };
    for (const auto& c : cases) EXPECT_EQ(cimv2::IsValidServiceName(c.name), c.valid) << c.name;
    EXPECT_FALSE(cimv2::IsValidServiceName(std::string(250, 'a') + ".service"));
}

TEST(ServiceCodes, ManagerRepliesMapToWmiCodes) {
    struct Case {
        int status;
        const char* error;
        uint32_t code;
    } cases[] = {
        {0, "", code::Success},
        {-EACCES, "org.freedesktop.DBus.Error.AccessDenied", code::AccessDenied},
        {-EPERM, "", code::AccessDenied},
        {-EIO, "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired", code::AccessDenied},
        {-EIO, "org.freedesktop.systemd1.UnitMasked", code::ServiceDisabled},
        {-EIO, "org.freedesktop.systemd1.NoSuchUnit", code::PathNotFound},
        {-EIO, "org.freedesktop.systemd1.LoadFailed", code::PathNotFound},
        {-EIO, "org.freedesktop.systemd1.JobTypeNotApplicable", code::InvalidServiceControl},
        {-EIO, "org.freedesktop.systemd1.OnlyByDependency", code::InvalidServiceControl},
        {-EINVAL, "org.freedesktop.DBus.Error.InvalidArgs", code::InvalidParameter},
        {-ECONNREFUSED, "", code::NotSupported},
        {-EIO, "org.freedesktop.DBus.Error.ServiceUnknown", code::NotSupported},
        {-ETIMEDOUT, "", code::ServiceRequestTimeout},
        {-EIO, "org.freedesktop.systemd1.TransactionIsDestructive", code::UnknownFailure},
    };
    for (const auto& c : cases) EXPECT_EQ(cimv2::ServiceCodeOf({c.status, c.error}), c.code) << c.error << c.status;
}

cimv2::ProviderContext ContextOn(const TempTree& tree, const cimv2::ServiceSource* services,
                                 cimv2::SystemActions* actions = nullptr) {
    cimv2::ProviderContext context;
    context.root = cimv2::SystemRoot(tree.Dir());
    context.services = services;
    context.actions = actions;
    return context;
}

// A remote login service's state is the service manager's, as Win32_Service
// shows the unit; an sshd whose parent is pid 1 does not make it run.
TEST(TerminalServiceClass, StateAgreesWithWin32Service) {
    TempTree tree;
    tree.File("/proc/sys/kernel/hostname", "box\n")
        .File("/lib/systemd/system/ssh.service",
              "[Unit]\nDescription=OpenBSD Secure Shell server\n[Service]\nExecStart=/usr/sbin/sshd -D\n")
        .File("/proc/1/stat", "1 (init) S 0 1 1 0\n")
        .File("/proc/1/comm", "init\n")
        .File("/proc/700/stat", "700 (sshd) S 1 700 700 0\n")
        .File("/proc/700/comm", "sshd\n");
    auto unit = [](const char* activeState, std::optional<uint32_t> mainPid) {
        ServiceUnit u;
        u.name = "ssh.service";
        u.description = "OpenBSD Secure Shell server";
        u.loadState = "loaded";
        u.activeState = activeState;
        u.unitFileState = "enabled";
        u.fragmentPath = "/lib/systemd/system/ssh.service";
        u.mainPid = mainPid;
        if (mainPid) u.canStop = true;
        if (mainPid) u.canFreeze = false;
        return u;
    };
    FakeServices running, stopped, unreachable;
    running.units = std::vector<ServiceUnit>{unit("active", 812)};
    stopped.units = std::vector<ServiceUnit>{unit("inactive", std::nullopt)};
    struct Case {
        const char* name;
        const cimv2::ServiceSource* services;
        const char *state, *started, *processId;
    };
    const Case cases[] = {
        {"no manager", nullptr, "<null>", "<null>", "<null>"},
        {"manager unreachable", &unreachable, "<null>", "<null>", "<null>"},
        {"running", &running, "Running", "True", "812"},
        {"stopped, though an sshd runs", &stopped, "Stopped", "False", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cimv2::Provider provider(ContextOn(tree, c.services));
        const auto terminal = provider.ExecQuery("SELECT * FROM Win32_TerminalService").instances;
        const auto service = provider.ExecQuery("SELECT * FROM Win32_Service WHERE Name = 'ssh.service'").instances;
        ASSERT_EQ(terminal.size(), 1u);
        ASSERT_EQ(service.size(), 1u);
        EXPECT_EQ(Text(terminal[0], "State"), c.state);
        EXPECT_EQ(Text(terminal[0], "Started"), c.started);
        EXPECT_EQ(Text(terminal[0], "ProcessId"), c.processId);
        // All but what a terminal service states of its own.
        for (const auto& property : cimv2::Win32_ServiceSchema().Properties()) {
            if (property.name == "CreationClassName" || property.name == "DesktopInteract" ||
                property.name == "ErrorControl")
                continue;
            EXPECT_EQ(Text(terminal[0], property.name.c_str()), Text(service[0], property.name.c_str()))
                << property.name;
        }
    }
}

// What a unit file says (command, user, how it is enabled) reads the same
// in Win32_TerminalService as in Win32_Service, whose subclass it is.
TEST(TerminalServiceClass, UnitFileReadsAsWin32ServiceReadsIt) {
    struct Case {
        const char* name;
        const char* unitFile;  // /lib/systemd/system/xrdp.service, or none
        bool linked;           // from /etc/systemd/system/multi-user.target.wants
        bool masked;           // /etc/systemd/system/xrdp.service -> /dev/null
        const char *startMode, *pathName, *startName;
    };
    const char* installed =
        "[Service]\nExecStart=-/usr/sbin/xrdp --nodaemon\nUser=xrdp\n[Install]\nWantedBy=multi-user.target\n";
    const Case cases[] = {
        {"enabled", installed, true, false, "Auto", "/usr/sbin/xrdp --nodaemon", "xrdp"},
        {"disabled", installed, false, false, "Disabled", "/usr/sbin/xrdp --nodaemon", "xrdp"},
        {"rule emptied: static", "[Service]\nExecStart=/usr/sbin/xrdp\n[Install]\nWantedBy=x.target\nWantedBy=\n",
         false, false, "Manual", "/usr/sbin/xrdp", "<null>"},
        {"masked", installed, false, true, "Disabled", "<null>", "<null>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempTree tree;
        tree.File("/proc/sys/kernel/hostname", "box\n").File("/lib/systemd/system/xrdp.service", c.unitFile);
        if (c.linked)
            tree.Link("/etc/systemd/system/multi-user.target.wants/xrdp.service", "/lib/systemd/system/xrdp.service");
        if (c.masked) tree.Link("/etc/systemd/system/xrdp.service", "/dev/null");
        cimv2::Provider provider(ContextOn(tree, nullptr));
        const auto terminal = provider.ExecQuery("SELECT * FROM Win32_TerminalService").instances;
        const auto service = provider.ExecQuery("SELECT * FROM Win32_Service WHERE Name = 'xrdp.service'").instances;
        ASSERT_EQ(terminal.size(), 1u);
        ASSERT_EQ(service.size(), 1u);
        EXPECT_EQ(Text(terminal[0], "StartMode"), c.startMode);
        EXPECT_EQ(Text(terminal[0], "PathName"), c.pathName);
        EXPECT_EQ(Text(terminal[0], "StartName"), c.startName);
        for (const char* property : {"StartMode", "PathName", "StartName", "DisplayName"})
            EXPECT_EQ(Text(terminal[0], property), Text(service[0], property)) << property;
    }
}

TEST(ServiceClass, ManagerStateMapsToWmiProperties) {
    TempTree tree;
    tree.File("/proc/sys/kernel/hostname", "box\n")
        .File("/lib/systemd/system/idle.service", "[Unit]\nDescription=Idle one\n[Service]\nExecStart=/bin/idle -q\n");
    FakeServices services;
    ServiceUnit running;
    running.name = "web.service";
    running.description = "Web server";
    running.loadState = "loaded";
    running.activeState = "active";
    running.freezerState = "running";
    running.unitFileState = "enabled";
    running.mainPid = 321;
    running.execStart = std::vector<std::string>{"/usr/sbin/web", "--root", "/srv/my site"};
    running.user = "www";
    running.canStop = true;
    running.canFreeze = false;
    running.execMainStatus = 0;
    running.execMainStartTime = 1234;
    ServiceUnit failed;
    failed.name = "broken.service";
    failed.loadState = "loaded";
    failed.activeState = "failed";
    failed.unitFileState = "static";
    failed.mainPid = 0;
    failed.canStop = true;
    failed.execMainStatus = 3;
    failed.execMainStartTime = 99;
    ServiceUnit never;
    never.name = "never.service";
    never.loadState = "loaded";
    never.activeState = "inactive";
    never.unitFileState = "disabled";
    // As the manager is asked of a stopped unit: no controls, no exit status of a run that never was.
    never.execMainStartTime = 0;
    ServiceUnit frozen;
    frozen.name = "cold.service";
    frozen.loadState = "loaded";
    frozen.activeState = "active";
    frozen.freezerState = "frozen";
    frozen.canFreeze = true;
    ServiceUnit fileOnly;
    fileOnly.name = "idle.service";
    fileOnly.unitFileState = "masked";
    fileOnly.fragmentPath = "/lib/systemd/system/idle.service";
    ServiceUnit missing;
    missing.name = "gone.service";
    missing.loadState = "not-found";
    missing.activeState = "inactive";
    ServiceUnit alias;
    alias.name = "alias.service";
    alias.unitFileState = "alias";
    alias.fragmentPath = "/lib/x.service";
    ServiceUnit quoted;
    quoted.name = "it's.service";
    quoted.loadState = "loaded";
    quoted.activeState = "active";
    services.units = std::vector<ServiceUnit>{running, failed, never, frozen, fileOnly, missing, alias, quoted};

    auto byName =
        ByName(cimv2::Provider(ContextOn(tree, &services)).ExecQuery("SELECT * FROM Win32_Service").instances);
    ASSERT_EQ(byName.size(), 5u) << "not-found, alias and unnamable units are no installed services";
    struct Case {
        const char* name;
        const char* property;
        const char* value;
    } cases[] = {
        {"web.service", "Caption", "Web server"},
        {"web.service", "DisplayName", "Web server"},
        {"web.service", "State", "Running"},
        {"web.service", "Started", "True"},
        {"web.service", "Status", "OK"},
        {"web.service", "StartMode", "Auto"},
        {"web.service", "ProcessId", "321"},
        {"web.service", "PathName", "/usr/sbin/web --root \"/srv/my site\""},
        {"web.service", "StartName", "www"},
        {"web.service", "AcceptStop", "True"},
        {"web.service", "AcceptPause", "False"},
        {"web.service", "ExitCode", "0"},
        {"web.service", "ServiceSpecificExitCode", "<null>"},
        {"web.service", "ServiceType", "Own Process"},
        {"web.service", "SystemName", "box"},
        {"web.service", "CreationClassName", "Win32_Service"},
        {"web.service", "ErrorControl", "<null>"},
        {"broken.service", "State", "Stopped"},
        {"broken.service", "Status", "Error"},
        {"broken.service", "Started", "False"},
        {"broken.service", "AcceptStop", "False"},
        {"broken.service", "StartMode", "Manual"},
        {"broken.service", "ExitCode", "1066"},
        {"broken.service", "ServiceSpecificExitCode", "3"},
        {"never.service", "ExitCode", "1077"},
        {"never.service", "StartMode", "Disabled"},
        {"never.service", "AcceptStop", "False"},
        {"never.service", "AcceptPause", "False"},
        {"never.service", "ProcessId", "0"},
        {"idle.service", "AcceptStop", "<null>"},
        {"cold.service", "State", "Paused"},
        {"cold.service", "AcceptPause", "True"},
        {"idle.service", "State", "Stopped"},
        {"idle.service", "StartMode", "Disabled"},
        {"idle.service", "Description", "Idle one"},
        {"idle.service", "PathName", "/bin/idle -q"},
        {"idle.service", "ProcessId", "<null>"},
        {"idle.service", "Status", "<null>"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(byName.count(c.name)) << c.name;
        EXPECT_EQ(Text(byName.at(c.name), c.property), c.value) << c.name << ' ' << c.property;
    }
}

TEST(ServiceClass, UnitFilesWithoutManagerHaveNoState) {
    TempTree tree;
    const std::string install = "[Install]\nWantedBy=multi-user.target\n";
    tree.File("/lib/systemd/system/on.service",
              "[Unit]\nDescription=On\n[Service]\nExecStart=-/usr/bin/on \\\n  --flag 'two words'\nUser=nobody\n" +
                  install)
        .File("/lib/systemd/system/off.service", "[Service]\nExecStart=/bin/off\n" + install)
        .File("/lib/systemd/system/plain.service", "[Unit]\nDescription=Plain\n")
        .File("/lib/systemd/system/empty.service", "")
        .File("/lib/systemd/system/tpl@.service", "[Unit]\nDescription=Template\n")
        .File("/lib/systemd/system/it's.service", "[Unit]\nDescription=Quote\n")
        .File("/etc/systemd/system/plain.service", "[Unit]\nDescription=Overridden\n")
        .Link("/etc/systemd/system/multi-user.target.wants/on.service", "../../../../lib/systemd/system/on.service")
        .Link("/etc/systemd/system/masked.service", "/dev/null")
        .Link("/etc/systemd/system/alias.service", "../../../lib/systemd/system/on.service");
    FakeServices unreachable;  // a manager that does not answer: the files speak
    for (const cimv2::ServiceSource* source :
         {static_cast<const cimv2::ServiceSource*>(nullptr), static_cast<const cimv2::ServiceSource*>(&unreachable)}) {
        auto byName =
            ByName(cimv2::Provider(ContextOn(tree, source)).ExecQuery("SELECT * FROM Win32_Service").instances);
        std::vector<std::string> names;
        for (const auto& [name, inst] : byName) names.push_back(name);
        EXPECT_EQ(names, (std::vector<std::string>{"empty.service", "masked.service", "off.service", "on.service",
                                                   "plain.service"}));
        struct Case {
            const char* name;
            const char* property;
            const char* value;
        } cases[] = {
            {"on.service", "StartMode", "Auto"},
            {"on.service", "PathName", "/usr/bin/on --flag \"two words\""},
            {"on.service", "StartName", "nobody"},
            {"on.service", "Description", "On"},
            {"on.service", "State", "<null>"},
            {"on.service", "Started", "<null>"},
            {"on.service", "ProcessId", "<null>"},
            {"off.service", "StartMode", "Disabled"},
            {"off.service", "Caption", "<null>"},
            {"plain.service", "StartMode", "Manual"},
            {"plain.service", "Description", "Overridden"},
            {"masked.service", "StartMode", "Disabled"},
            {"empty.service", "StartMode", "Disabled"},
        };
        for (const auto& c : cases) EXPECT_EQ(Text(byName.at(c.name), c.property), c.value) << c.name << c.property;
    }
}

TEST(ServiceUnitFiles, StatesTheFilesSettleAndNoOthers) {
    TempTree tree;
    const std::string lib = "/usr/lib/systemd/system/", etc = "/etc/systemd/system/", run = "/run/systemd/system/";
    const std::string wanted = "[Unit]\nDescription=x\n[Install]\nWantedBy=multi-user.target\n";
    tree.File(lib + "static.service", "[Service]\nExecStart=/bin/true\n")
        .File(lib + "disabled.service", wanted)
        .File(lib + "also.service", "[Install]\nAlso=disabled.service\n")
        .File(lib + "emptied.service", "[Install]\nWantedBy=multi-user.target\nWantedBy=\n# WantedBy=x.target\n")
        .File(lib + "continued.service", "[Install]\nWantedBy=\\\n  multi-user.target\n")
        .File(lib + "aliased.service", "[Install]\nAlias=nick.service\n")
        .File(lib + "empty.service", "")
        .File(lib + "enabled.service", wanted)
        .File(lib + "vendorwanted.service", "[Unit]\nDescription=x\n")
        .File(lib + "overridden.service", wanted)
        .File(lib + "dropin.service", wanted)
        .File(lib + "dropin.service.d/override.conf", "[Unit]\nDescription=y\n")
        .File(lib + "dash-dropin.service", wanted)
        .File(lib + "dash-.service.d/override.conf", "[Unit]\nDescription=y\n")
        .File(lib + "tpl@.service", wanted)
        .File(lib + "runmasked.service", wanted)
        .File(etc + "overridden.service", "[Unit]\nDescription=mine\n")
        .File("/run/systemd/generator/generated.service", wanted)
        .Link(lib + "multi-user.target.wants/vendorwanted.service", "../vendorwanted.service")
        .Link(lib + "vendornick.service", "static.service")
        .Link(lib + "nick-of-masked.service", "runmasked.service")
        .Link(etc + "multi-user.target.wants/enabled.service", lib + "enabled.service")
        .Link(etc + "masked.service", "/dev/null")
        .Link(etc + "linked.service", "/opt/linked.service")
        .Link(run + "runmasked.service", "/dev/null")
        .Link("/lib", "usr/lib");
    const std::vector<std::string> path = {"/etc/systemd/system", "/run/systemd/system", "/run/systemd/generator",
                                           "/lib/systemd/system", "/usr/lib/systemd/system"};
    const cimv2::ServiceUnitFiles files(cimv2::SystemRoot(tree.Dir()), path);

    // Each name once, where the search path has it first; no templates.
    const auto& paths = files.Paths();
    EXPECT_EQ(paths.count("tpl@.service"), 0u);
    EXPECT_EQ(paths.at("overridden.service"), "/etc/systemd/system/overridden.service");
    EXPECT_EQ(paths.at("static.service"), "/lib/systemd/system/static.service");
    EXPECT_EQ(paths.at("runmasked.service"), "/run/systemd/system/runmasked.service");
    EXPECT_EQ(paths.at("generated.service"), "/run/systemd/generator/generated.service");

    struct Case {
        const char* name;
        std::optional<std::string> state;
    } cases[] = {
        {"static.service", "static"},
        {"disabled.service", "disabled"},
        {"also.service", "indirect"},
        {"emptied.service", "static"},
        {"continued.service", "disabled"},
        {"aliased.service", "disabled"},
        {"empty.service", "masked"},
        {"masked.service", "masked"},
        {"runmasked.service", "masked-runtime"},
        {"vendornick.service", "alias"},
        {"nick-of-masked.service", "masked-runtime"},  // followed by name to the mask in /run
        {"vendorwanted.service", "static"},            // the vendor's links enable nothing
        {"overridden.service", "static"},
        // Left to the manager: enabled by a link, linked, with drop-ins, generated.
        {"enabled.service", std::nullopt},
        {"linked.service", std::nullopt},
        {"dropin.service", std::nullopt},
        {"dash-dropin.service", std::nullopt},
        {"generated.service", std::nullopt},
        {"tpl@.service", std::nullopt},
        {"nowhere.service", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(files.PlainState(c.name), c.state) << c.name;
}

// ---- methods through the real provider and the component, with recording actions

class ServiceMethodTest : public ::testing::Test {
protected:
    ServiceMethodTest() {
        tree.File("/lib/systemd/system/demo.service", "[Unit]\nDescription=Demo\n");
        local.Use(ContextOn(tree, nullptr, &actions));
    }

    testsupport::LocalComputer local;
    TempTree tree;
    RecordingServiceActions actions;
    compfake::NoticeRecorder notices;
    components::TServiceInfo services;
};

TEST_F(ServiceMethodTest, ControlsReachTheActionsWithTheirCodes) {
    services.SetActive(true);
    ASSERT_EQ(services.ObjectsCount(), 1);
    const auto key = wmi::OleVariant::Text("demo.service");
    struct Case {
        int32_t (components::TServiceInfo::*method)(const std::string&, const wmi::OleVariant&);
        ServiceControl control;
        uint32_t answer;
    } cases[] = {
        {&components::TServiceInfo::StartService, ServiceControl::Start, code::ServiceAlreadyRunning},
        {&components::TServiceInfo::StopService, ServiceControl::Stop, code::DependentServicesRunning},
        {&components::TServiceInfo::PauseService, ServiceControl::Pause, code::NotSupported},
        {&components::TServiceInfo::ResumeService, ServiceControl::Resume, code::ServiceCannotAcceptControl},
        {&components::TServiceInfo::InterrogateService, ServiceControl::Interrogate, code::ServiceNotActive},
    };
    for (const auto& c : cases) {
        actions.controls.clear();
        actions.answer = c.answer;
        EXPECT_EQ((services.*c.method)("Name", key), static_cast<int32_t>(c.answer));
        ASSERT_EQ(actions.controls.size(), 1u);
        EXPECT_EQ(actions.controls[0].first, "demo.service");
        EXPECT_EQ(actions.controls[0].second, c.control);
    }
}

TEST_F(ServiceMethodTest, ChangeStartModeTakesOnlyModesAManagerHas) {
    services.SetActive(true);
    const auto key = wmi::OleVariant::Text("demo.service");
    struct Case {
        const char* mode;
        uint32_t result;
        std::optional<ServiceStartMode> sent;
    } cases[] = {
        {"Automatic", 0, ServiceStartMode::Automatic},  {"manual", 0, ServiceStartMode::Manual},
        {"Disabled", 0, ServiceStartMode::Disabled},    {"Auto", code::InvalidParameter, std::nullopt},
        {"Boot", code::InvalidParameter, std::nullopt}, {"System", code::InvalidParameter, std::nullopt},
        {"", code::InvalidParameter, std::nullopt},     {"Disabled'; rm", code::InvalidParameter, std::nullopt},
    };
    for (const auto& c : cases) {
        actions.modes.clear();
        EXPECT_EQ(services.ChangeStartModeService("Name", key, c.mode), static_cast<int32_t>(c.result)) << c.mode;
        if (c.sent) {
            ASSERT_EQ(actions.modes.size(), 1u) << c.mode;
            EXPECT_EQ(actions.modes[0].second, *c.sent) << c.mode;
        } else {
            EXPECT_TRUE(actions.modes.empty()) << c.mode;
        }
    }
}

TEST_F(ServiceMethodTest, QuotedNamesAndMissingActionsChangeNothing) {
    services.SetActive(true);
    // A key with a quote selects no service: nothing runs, and that is no success.
    const auto nothingRan = static_cast<int32_t>(components::kNothingRan);
    EXPECT_EQ(services.StartService("Name", wmi::OleVariant::Text("demo.service' OR Name<>'")), nothingRan);
    EXPECT_EQ(services.StartService("Name", wmi::OleVariant::Text("de\"mo.service")), nothingRan);
    EXPECT_TRUE(actions.controls.empty());
    // An instance whose name no unit can have is refused before the actions.
    cimv2::Instance odd(cimv2::Win32_ServiceSchema());
    odd.SetText("Name", "de'mo.service");
    const cimv2::MethodDef* start = cimv2::Win32_ServiceSchema().FindMethod("StartService");
    auto out = cimv2::InvokeWin32_Service(wmi::LocalContext(), odd, odd, *start, {});
    EXPECT_EQ(out.at(0).second.ToText(), std::to_string(code::InvalidName));
    EXPECT_TRUE(actions.controls.empty());
    // Without actions (a captured tree, a read-only agent) every method is refused.
    cimv2::ProviderContext readOnly = ContextOn(tree, nullptr, nullptr);
    cimv2::Instance demo(cimv2::Win32_ServiceSchema());
    demo.SetText("Name", "demo.service");
    for (const auto& method : cimv2::Win32_ServiceSchema().Methods())
        EXPECT_EQ(cimv2::InvokeWin32_Service(readOnly, demo, demo, method, {{"StartMode", Value::Text("Manual")}})
                      .at(0)
                      .second.ToText(),
                  std::to_string(code::AccessDenied))
            << method.name;
    EXPECT_TRUE(actions.controls.empty());
    EXPECT_TRUE(actions.modes.empty());
}

TEST(ServiceDecoder, ReturnCodesAsText) {
    struct Case {
        int32_t code;
        const char* text;
    } cases[] = {
        {0, "Success"},
        {2, "Access Denied"},
        {10, "Service Already Running"},
        {21, "Status Invalid Parameter"},
        {24, "Service Already Paused"},
        {25, ""},
        {-1, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(components::TServiceInfo::GetErrorControlAsString(c.code), c.text) << c.code;
}

}  // namespace

// One reader for unit files: a captured tree gives a unit the start mode
// the state the live manager's files settle maps to, and systemd's empty
// assignment empties a list on both.
TEST(ServiceUnitFiles, TreeAndManagerReadAFileAlike) {
    const struct {
        const char* text;
        const char* startMode;
    } cases[] = {
        {"[Install]\nWantedBy=multi-user.target\nWantedBy=\n", "Manual"},
        {"[Install]\nWantedBy=multi-user.target\n", "Disabled"},
        {"[Install]\nWantedBy=\\\n# a note\n  multi-user.target\n", "Disabled"},
        {"[Install]\r\nAlias=nick.service\r\n", "Disabled"},
        {"[Install]\nRequiredBy=a.target\nRequiredBy=\nUpheldBy=b.target\n", "Disabled"},
        {"[Install]\nAlso=other.service\n", "Manual"},
        {"[Service]\nWantedBy=multi-user.target\n", "Manual"},
    };
    const std::string dir = "/usr/lib/systemd/system";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TempTree tree;
        tree.File(dir + "/unit.service", c.text);
        const cimv2::ServiceUnitFiles files(cimv2::SystemRoot(tree.Dir()), {dir});
        const auto state = files.PlainState("unit.service");
        ASSERT_TRUE(state);
        EXPECT_EQ(cimv2::StartModeOfUnitFileState(*state), std::optional<std::string>(c.startMode));
        auto byName =
            ByName(cimv2::Provider(ContextOn(tree, nullptr)).ExecQuery("SELECT * FROM Win32_Service").instances);
        ASSERT_EQ(byName.count("unit.service"), 1u);
        EXPECT_EQ(Text(byName.at("unit.service"), "StartMode"), c.startMode);
    }
}
