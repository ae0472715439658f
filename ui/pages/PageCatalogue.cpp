#include "ui/pages/PageCatalogue.h"

#include <charconv>

#include "cimv2/core/Schema.h"
#include "components/Components.h"
#include "ui/pages/ComputerPages.h"
#include "ui/pages/DevicePages.h"
#include "ui/pages/DisplaySoundPages.h"
#include "ui/pages/HardwarePages.h"
#include "ui/pages/PeripheralPages.h"
#include "ui/pages/PrinterPages.h"
#include "ui/pages/ServicePages.h"
#include "ui/pages/SoftwarePages.h"
#include "ui/pages/StoragePages.h"
#include "ui/pages/SystemSoftwarePages.h"

namespace ui {

namespace {

// Index, caption, list, header label, menu, command, description, routine, class, guard, fill
// (a direct query's row table, ComponentRows<component>(row table), or nullptr).
// "Monitor" and "Sound Device" get commands of their own so they can be reached; the
// "Disks" commands get descriptions so the line never shows a stale text.
// One line per page.
// clang-format off
constexpr std::array<PageInfo, kPageCount> kPages = {{
    {0, "Home", nullptr, nullptr, nullptr, "Home", "Windows Management Instrumentation (WMI) consists of a set of extensions to the Windows Driver Model that provides an operating system interface through which instrumented components provide information and notification", nullptr, nullptr, Guard::None, nullptr},
    {1, "Computer", "lv2", "Computer Caption", "Computer", "Computer", "The Win32_ComputerSystem class represents a computer system operating in a Win32 environment", "GetComputerSystemInfo", "Win32_ComputerSystem", Guard::None, ComponentRows<components::TComputerSystemInfo>(computer::kComputerSystemRows)},
    {2, "BIOS", "lv1", "BIOS Caption", "Computer", "BIOS", " The Win32_BIOS class represents the attributes of the computer system's basic input/output services (BIOS) that are installed on the computer", "GetBiosInfo", "Win32_Bios", Guard::None, ComponentRows<components::TBiosInfo>(computer::kBiosRows)},
    {3, "Operation System", "lv3", "OS Caption", "Operating System", "Operating System", "The Win32_OperatingSystem class represents an operating system installed on a Win32 computer system. Any operating system that can be installed on a Win32 system is a descendent (or member) of this class. Example: Microsoft Windows 95", "GetOSinfo", "Win32_OperatingSystem", Guard::None, ComponentRows<components::TOperatingSystemInfo>(computer::kOperatingSystemRows)},
    {4, "Processor", "lv4", "CPU Caption", "Computer", "Processors", "The Win32_Processor class represents a device that is capable of interpreting a sequence of machine instructions on a Win32 computer system", "GetProcessorInfo", "Win32_Processor", Guard::None, ComponentRows<components::TProcessorInfo>(computer::kProcessorRows, PageObjects::Every)},
    {5, "Disk Drive", "lv5", "HDD Caption", "Disks", "Disk Drives", "The Win32_DiskDrive class represents a physical disk drive as seen by a computer running the operating system", "GetDiskDriveInfo", "Win32_DiskDrive", Guard::None, ComponentRows<components::TDiskDriveInfo>(storage::kDiskDriveRows, PageObjects::Every)},
    {6, "Disk Partition", "lv6", "Partition Caption", "Disks", "Disk Partitions", "The Win32_DiskPartition class represents the capabilities and management capacity of a partitioned area of a physical disk", "GetDiskPartitionInfo", "Win32_DiskPartition", Guard::None, ComponentRows<components::TDiskPartitionInfo>(storage::kDiskPartitionRows, PageObjects::Every)},
    {7, "Physical Memory", "lv7", "Memory Caption", "Memory", "Physical Memory", "The Win32_PhysicalMemory class represents a physical memory device located on a computer system as available to the operating system", "GetPhysMemInfo", "Win32_PhysicalMemory", Guard::None, ComponentRows<components::TPhysicalMemoryInfo>(storage::kPhysicalMemoryRows, PageObjects::Every)},
    {8, "Environment", "lv8", "Environment Caption", "Operating System", "Environment", "The Win32_Environment class represents an environment or system environment setting on a Win32 computer system", "GetEnvInfo", "Win32_Environment", Guard::None, ComponentRows<components::TEnvironmentInfo>(systemsoftware::kEnvironmentRows, PageObjects::Every)},
    {9, "Services", "lv9", "Service Caption", "Operating System", "Services", "The Win32_Service class represents a service on a Win32 computer system. Services can execute even when no user is logged on to the system", "GetServicesInfo", "Win32_Service", Guard::None, ComponentRows<components::TServiceInfo>(software::kServiceRows, PageObjects::Every)},
    {10, "Process", "lv10", "Process Caption", "Operating System", "Process", "The Win32_Process class represents a sequence of events on a Win32 system. Any sequence consisting of the interaction of one or more processors or interpreters, some executable code, and a set of inputs, is a descendent (or member) of this class", "GetProcessInfo", "Win32_Process", Guard::None, ComponentRows<components::TProcessInfo>(systemsoftware::kProcessRows, PageObjects::Every)},
    {11, "Startup Commands", "lv11", "Startup Command Caption", "Operating System", "Startup Commands", " The Win32_StartupCommand class represents a command that runs automatically when a user logs onto the computer system", "GetStartupCMDInfo", "Win32_StartupCommand", Guard::None, ComponentRows<components::TStartupCommandInfo>(systemsoftware::kStartupCommandRows, PageObjects::Every)},
    {12, "Accounts", "lv12", "Account Caption", "Operating System", "Accounts", "The Win32_Account class contains information about user accounts and group accounts known to the Win32 system. User or group names recognized by a Windows NT domain are descendents (or members) of this class", "GetAccountInfo", "Win32_UserAccount", Guard::None, ComponentRows<components::TUserAccountInfo>(systemsoftware::kAccountRows, PageObjects::Every)},
    {13, "Network Adapters", "lv13", "Network Adapter Caption", "Network", "Network Adapters", "The Win32_NetworkAdapter class represents a network adapter on a Win32 system", "GetNetworkAdaptInfo", "Win32_NetworkAdapter", Guard::Guarded, peripherals::kNetworkAdapterRows},
    {14, "Battery", "lv14", "Battery Caption", "Computer", "Battery", "The Win32_Battery class represents a battery connected to the computer system. This class applies to both batteries in Laptop Systems and other internal/external batteries", "GetBatteryInfo", "Win32_Battery", Guard::None, ComponentRows<components::TBatteryInfo>(peripherals::kBatteryRows, PageObjects::Every)},
    {15, "Display", "lv15", "Display Caption", "Display", "Display", " The Win32_DisplayConfiguration class represents configuration information for the display device on a Win32 system", "GetDisplayInfo", "Win32_DisplayConfiguration", Guard::None, ComponentRows<components::TDisplayInfo>(displaysound::kDisplayRows, PageObjects::Every)},
    {16, "Monitor", "lv16", "Monitor Caption", "Display", "Monitor", "The Win32_DesktopMonitor class represents the type of monitor or display device attached to the computer system", "GetMonitorInfo", "Win32_DesktopMonitor", Guard::None, ComponentRows<components::TDesktopMonitorInfo>(displaysound::kMonitorRows, PageObjects::Every)},
    {17, "Keyboard", "lv17", "Keyboard Caption", "Input", "Keyboard", "The Win32_Keyboard class represents a keyboard installed on a Win32 system", "GetKeyboardInfo", "Win32_Keyboard", Guard::None, ComponentRows<components::TKeyboardInfo>(peripherals::kKeyboardRows, PageObjects::Every)},
    {18, "USB Controller", "lv18", "USB Controller Caption", "USB", "USB Controllers", "The Win32_USBController class manages the capabilities of a Universal Serial Bus (USB) controller", "GetUSBControllerInfo", "Win32_USBController", Guard::None, ComponentRows<components::TUSBControllerInfo>(displaysound::kUSBControllerRows, PageObjects::Every)},
    {19, "Pointing Device", "lv19", "Pointing Device Caption", "Input", "Pointing Devices", "The Win32_PointingDevice class represents an input device used to point to and select  regions on the display of a Win32 computer system. Any device used to manipulate a pointer, or point to the display on a Win32 computer system is a member of this class", "GetPointingInfo", "Win32_PointingDevice", Guard::None, ComponentRows<components::TPointingDeviceInfo>(peripherals::kPointingDeviceRows, PageObjects::Every)},
    {20, "Shares", "lv20", "Share Caption", "Operating System", "Shares", "The Win32_Share class represents a shared resource on a Win32 system. This may be a disk drive, printer, interprocess communication, or other shareable device", "GetSharesInfo", "Win32_Share", Guard::None, ComponentRows<components::TShareInfo>(systemsoftware::kShareRows, PageObjects::Every)},
    {21, "Printers", "lv21", "Printer Caption", "Printers", "Printers", "Capabilities and management of the Printer LogicalDevice", "GetPrintersInfo", "Win32_Printer", Guard::None, ComponentRows<components::TPrinterInfo>(printers::kPrinterRows, PageObjects::Every)},
    {22, "Print Jobs", "lv22", "Print Job Caption", "Printers", "Print Jobs", "CIM_Job is a logical element representing a unit of work for a system, such as a print job. A job is distinct from a process in that a job can be scheduled", "GetPrintJobsInfo", "Win32_PrintJob", Guard::None, ComponentRows<components::TPrintJobInfo>(printers::kPrintJobRows, PageObjects::Every)},
    {23, "CD-ROM", "lv23", "CD-ROM Caption", "Disks", "CD-ROM", "The Win32_CDROMDrive class represents a CD-ROM drive on a computer system", "GetCDInfo", "Win32_CDRomDrive", Guard::None, ComponentRows<components::TCDRomDriveInfo>(storage::kCDRomRows, PageObjects::Every)},
    {24, "Sound Device", "lv24", "Sound Device Caption", "Computer", "Sound Device", "The Win32_SoundDevice class represents the properties of a sound device on a computer system", "GetSoundDeviceInfo", "Win32_SoundDevice", Guard::None, ComponentRows<components::TSoundDeviceInfo>(displaysound::kSoundDeviceRows, PageObjects::Every)},
    {25, "Terminal Services", "lv25", "TS Caption", "Operating System", "Terminal Services", "The Win32_TerminalService class provides Terminal Service load balancing indicators", "GetWin32_TerminalServiceInfo", "Win32_TerminalService", Guard::Guarded, software::kTerminalServiceRows},
    {26, "Video Adapter", "lv26", "Video Adapter Caption", "Display", "Video Controllers", "The Win32_VideoController class represents the capabilities and management capacity of the video controller on a Win32 computer system", "GetWin32_VideoControllerInfo", "Win32_VideoController", Guard::Guarded, devices::kVideoControllerRows},
    {27, "Time Zone", "lv27", "Time Zone Caption", "Operating System", "Time Zone", "The Win32_TimeZone class represents the time zone information for a Win32 system. This includes changes needed for the transition to and from daylight savings time", "GetWin32_TimeZoneInfo", "Win32_TimeZone", Guard::Guarded, software::kTimeZoneRows},
    {28, "System Drivers", "lv28", "System Driver Caption", "Operating System", "System Drivers", "The Win32_SystemDriver class represents the system driver for a base service", "GetWin32_SystemDriverInfo", "Win32_SystemDriver", Guard::Guarded, software::kSystemDriverRows},
    {29, "SCSI Controllers", "lv29", "SCSI Controller Caption", "Disks", "SCSI Controllers", "The Win32_SCSIController class represents a SCSI controller on a computer system", "GetWin32_SCSIControllerInfo", "Win32_SCSIController", Guard::Guarded, devices::kSCSIControllerRows},
    {30, "PNP Entities", "lv30", "PNP Entity Caption", "Computer", "PNP Entities", "The Win32_PnPEntity class represents the properties of a Plug and Play device. Plug and Play entities are shown as entries in the Device Manager located in the Control Panel", "GetWin32_PnPEntityInfo", "Win32_PnPEntity", Guard::Guarded, hardware::kPnPEntityRows},
    {31, "Network Protocols", "lv31", "Network Protocol Caption", "Network", "Network Protocols", "The Win32_NetworkProtocol class represents a protocol and its network characteristics on a Win32 computer system", "GetWin32_NetworkProtocolInfo", "Win32_NetworkProtocol", Guard::Guarded, devices::kNetworkProtocolRows},
    {32, "USB Hub", "lv32", "USB Hub Caption", "USB", "USB Hub", "The Win32_USBHub class represents the management characterisitics of a USB Hub", "GetWin32_USBHubInfo", "Win32_USBHub", Guard::Guarded, devices::kUSBHubRows},
    {33, "System Slots", "lv33", "System Slot Caption", "Computer", "System Slots", "The Win32_SystemSlot class represents physical connection points including ports, motherboard slots and peripherals, and proprietary connections points", "GetWin32_SystemSlotInfo", "Win32_SystemSlot", Guard::Guarded, hardware::kSystemSlotRows},
    {34, "Logical Disks", "lv34", "Logical Disk Caption", "Disks", "Logical Disks", "The Win32_LogicalDisk class represents a data source that resolves to an actual local storage device on a computer system", "GetWin32_LogicalDiskInfo", "Win32_LogicalDisk", Guard::Guarded, devices::kLogicalDiskRows},
    {35, "Load Order Group", "lv35", "Load Order Group Caption", "Operating System", "Load Order Groups", "The Win32_LoadOrderGroup class represents a group of system services that define execution dependencies. The services must be initiated in the order specified by the Load Order Group, as the services are dependent on each other", "GetWin32_LoadOrderGroupInfo", "Win32_LoadOrderGroup", Guard::Guarded, software::kLoadOrderGroupRows},
    {36, "IRQ", "lv36", "IRQ Caption", "Computer", "IRQ", "The Win32_IRQResource class represents an interrupt request line (IRQ) number on a Win32 computer system. An interrupt request is a signal sent to the CPU by a device or program for time critical events. IRQ can be hardware or software based.", "GetWin32_IRQResourceInfo", "Win32_IRQResource", Guard::Guarded, hardware::kIRQResourceRows},
    {37, "IPV4 Route Table", "lv37", "IPV4 Route Caption", "Network", "IPV4 Route Table", "The IP4RouteTable class information governs where network data packets are routed to (e.g. usually internet packets are sent to a gateway, and local packets may be routed directly by the client's machine)", "GetWin32_IP4RouteTableInfo", "Win32_IP4RouteTable", Guard::Guarded, devices::kIP4RouteTableRows},
    {38, "Installed Win32 Programs", "lv38", "Win32 Program Name", "Operating System", "Installed Win32 Programs", "The Win32_InstalledWin32Program class represents an installed Win32 application", "GetWin32_InstalledWin32ProgramInfo", "Win32_InstalledWin32Program", Guard::Guarded, software::kInstalledWin32ProgramRows},
    {39, "Installed Program Frameworks", "lv39", "Framework Name", "Operating System", "Installed Win32 Frameworks", "The Win32_InstalledProgramFramework class represents a framework that a Win32_InstalledWin32Program instance depends on", "GetWin32_InstalledProgramFrameworkInfo", "Win32_InstalledProgramFramework", Guard::Guarded, software::kInstalledProgramFrameworkRows},
    {40, "IDE Controllers", "lv40", "IDE Controller Caption", "Disks", "IDE Controllers", "The Win32_IDEController class represents the capabilities of an Integrated Drive Electronics (IDE) controller device", "GetWin32_IDEControllerInfo", "Win32_IDEController", Guard::Guarded, devices::kIDEControllerRows},
    {41, "Groups", "lv41", "Group Caption", "Operating System", "Groups", "The Win32_Group class represents data about a group account. A group account allows access privileges to be changed for a list of users", "GetWin32_GroupInfo", "Win32_Group", Guard::Guarded, software::kGroupRows},
    {42, "DMA Channels", "lv42", "DMA Channel Caption", "Memory", "DMA Channels", "The Win32_DMAChannel class represents a direct memory access (DMA) channel on a Win32 computer system. DMA is a method of moving data from a device to memory (or vice versa) without the help of the microprocessor", "GetWin32_DMAChannelInfo", "Win32_DMAChannel", Guard::Guarded, hardware::kDMAChannelRows},
    {43, "COM Class", "lv43", "COM Class Caption", "Operating System", "COM Class", "The Win32_COMClass class represents the properties of a Component Object Model (COM) component", "GetWin32_COMClassInfo", "Win32_COMClass", Guard::Guarded, software::kCOMClassRows},
    {44, "Codec Files", "lv44", "Codec File Caption", "Operating System", "Codec Files", "The Win32_CodecFile class represents the audio or video codec installed on the computer system. Codecs convert one media format type to another, typically a compressed format to an uncompressed format", "GetWin32_CodecFileInfo", "Win32_CodecFile", Guard::Guarded, software::kCodecFileRows},
    {45, "Cache Memory", "lv45", "Cache Memory Caption", "Memory", "Cach Memory", "The Win32_CacheMemory class represents cache memory (internal and external) on a computer system", "GetWin32_CacheMemoryInfo", "Win32_CacheMemory", Guard::Guarded, hardware::kCacheMemoryRows},
    {46, "Bus", "lv46", "Bus Caption", "Computer", "Bus", "The Win32_Bus class represents a physical bus as seen by a Win32 operating system. Any instance of a Win32 bus is a descendent (or member) of this class. Example: USB Bus", "GetWin32_BusInfo", "Win32_Bus", Guard::Guarded, hardware::kBusRows},
    {47, "Boot Configuration", "lv47", "Boot Configuration Caption", "Operating System", "Boot Config", "The Win32_BootConfiguration class represents the boot configuration of a Win32 system", "GetWin32_BootConfigurationInfo", "Win32_BootConfiguration", Guard::Guarded, software::kBootConfigurationRows},
    {48, "Base Board", "lv48", "Base Board Caption", "Computer", "Base Board", " The Win32_BaseBoard class represents a base board (also known as a motherboard or system board)", "GetWin32_BaseBoardInfo", "Win32_BaseBoard", Guard::Guarded, hardware::kBaseBoardRows},
}};
// clang-format on

}  // namespace

const std::array<PageInfo, kPageCount>& Pages() { return kPages; }

const PageInfo& Page(int index) { return kPages.at(static_cast<size_t>(index)); }

const PageInfo* FindPage(std::string_view name) {
    int index = -1;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), index);
    if (ec == std::errc() && end == name.data() + name.size()) {
        return index >= 0 && index < kPageCount ? &kPages[static_cast<size_t>(index)] : nullptr;
    }
    for (const auto& page : kPages)
        if (cimv2::EqualsNoCase(page.caption, name)) return &page;
    for (const auto& page : kPages)
        if ((page.command && cimv2::EqualsNoCase(page.command, name)) ||
            (page.listName && cimv2::EqualsNoCase(page.listName, name)))
            return &page;
    return nullptr;
}

const std::vector<MenuInfo>& MainMenu() {
    static const std::vector<MenuInfo> menu = {
        {"Home", {}},
        {"Computer", {1, 48, 2, 4, 33, 36, 46, 14, 30, 24}},
        {"Operating System", {3, 8, 11, 28, 35, 47, 9, 10, 12, 41, 20, 27, 38, 39, 43, 44, 25}},
        {"Memory", {7, 45, 42}},
        {"Disks", {5, 6, 34, 40, 29, 23}},
        {"Network", {13, 31, 37}},
        {"Display", {15, 26, 16}},
        {"USB", {18, 32}},
        {"Printers", {21, 22}},
        {"Input", {17, 19}},
    };
    return menu;
}

std::string MenuPath(const PageInfo& page) {
    if (!page.command) return {};
    if (!page.menu) return page.command;
    return std::string(page.menu) + " > " + page.command;
}

}  // namespace ui
