#pragma once
// The storage, network, display and USB group of direct-query pages
// ("Disks", "Network", "Display" and "USB" menus): their row tables, which
// their catalogue lines carry.
#include "ui/pages/PageCatalogue.h"

namespace ui::devices {

constexpr ValueRule kText = ValueRule::Text;
constexpr ValueRule kInteger = ValueRule::Integer;
constexpr ValueRule kStrictText = ValueRule::StrictText;
constexpr ValueRule kStrictInteger = ValueRule::StrictInteger;
constexpr ValueRule kStrictBoolean = ValueRule::StrictBoolean;

inline constexpr RowEntry kLogicalDiskRows[] = {
    {"Logical Disk Caption", "Caption", kText},
    {"Logical Disk Description", "Description", kText},
    {"Logical Disk Device ID", "DeviceID", kText},
    {"Logical Disk Drive Type", "DriveType", kInteger},
    {"Logical Disk File System", "FileSystem", kText},
    {"Logical Disk Volume Name", "VolumeName", kText},
    {"Logical Disk Volume Serial Number", "VolumeSerialNumber", kText},
    {"Logical Disk Volume Volume Dirty", "VolumeDirty", kText},
    {"Logical Disk Supports File Based Compression", "SupportsFileBasedCompression", kText},
    {"Logical Disk Compressed", "Compressed", kText},
    {"Logical Disk Size", "Size", kInteger},
    {"Logical Disk Free Space", "FreeSpace", kInteger},
    {"Logical Disk Number Of Blocks", "NumberOfBlocks", kInteger},
    {"Logical Disk Block Size", "BlockSize", kInteger},
    {"Logical Disk Supports DiskQuotas", "SupportsDiskQuotas", kText},
    {"Logical Disk Quotas Disabled", "QuotasDisabled", kText},
    {"Logical Disk Quotas Incomplete", "QuotasIncomplete", kText},
    {"Logical Disk Quotas Rebuilding", "QuotasRebuilding", kText},
    {"Logical Disk Purpose", "Purpose", kText},
    {"Logical Disk Provider Name", "ProviderName", kText},
    {"Logical Disk Error Methodology", "ErrorMethodology", kText},
    {"Logical Disk Error Cleared", "ErrorCleared", kText},
    {"Logical Disk Error Description", "ErrorDescription", kText},
    {"Logical Disk Status", "Status", kText},
};

inline constexpr RowEntry kIDEControllerRows[] = {
    {"IDE Controller Caption", "Caption", kText},
    {"IDE Controller Description", "Description", kText},
    {"IDE Controller Manufacturer", "Manufacturer", kText},
    {"IDE Controller Device ID", "DeviceID", kText},
    {"IDE Controller Protocol Supported", "ProtocolSupported", kInteger},
    {"IDE Controller Max Number Controlled", "MaxNumberControlled", kInteger},
    {"IDE Controller Config Manager User Config", "ConfigManagerUserConfig", kText},
    {"IDE Controller Config Manager Error Code", "ConfigManagerErrorCode", kInteger},
    {"IDE Controller Power Management Supported", "PowerManagementSupported", kText},
    {"IDE Controller Power Management Capabilities", "PowerManagementCapabilities", kInteger},
    {"IDE Controller Status", "Status", kText},
};

inline constexpr RowEntry kSCSIControllerRows[] = {
    {"SCSI Controller Caption", "Caption", kStrictText},
    {"SCSI Controller Description", "Description", kStrictText},
    {"SCSI Controller Name", "Name", kStrictText},
    {"SCSI Controller Manufacturer", "Manufacturer", kStrictText},
    {"SCSI Controller Device ID", "DeviceID", kStrictText},
    {"SCSI Controller Driver Name", "DriverName", kStrictText},
    {"SCSI Controller Protocol Supported", "ProtocolSupported", kStrictInteger},
    {"SCSI Controller Config Manager User Config", "ConfigManagerUserConfig", kStrictBoolean},
    {"SCSI Controller Config Manager Error Code", "ConfigManagerErrorCode", kStrictInteger},
    {"SCSI Controller Availability", "Availability", kStrictInteger},
    {"SCSI Controller Status", "Status", kStrictText},
    {"SCSI Controller Hardware Version", "HardwareVersion", kText},
    {"SCSI Controller Device Map", "DeviceMap", kText},
    {"SCSI Controller Max Transfer Rate", "MaxTransferRate", kInteger},
    {"SCSI Controller Max Data Width", "MaxDataWidth", kInteger},
    {"SCSI Controller Max Number Controlled", "MaxNumberControlled", kInteger},
};

inline constexpr RowEntry kNetworkProtocolRows[] = {
    {"Network Protocol Caption", "Caption", kText},
    {"Network Protocol Description", "Description", kText},
    {"Network Protocol Name", "Name", kText},
    {"Network Protocol Connectionless Service", "ConnectionlessService", kText},
    {"Network Protocol Guarantees Delivery", "GuaranteesDelivery", kText},
    {"Network Protocol Guarantees Sequencing", "GuaranteesSequencing", kText},
    {"Network Protocol MessageOriented", "MessageOriented", kText},
    {"Network Protocol Maximum Message Size", "MaximumMessageSize", kStrictInteger},
    {"Network Protocol Pseudo Stream Oriented", "PseudoStreamOriented", kText},
    {"Network Protocol Supports Broadcasting", "SupportsBroadcasting", kText},
    {"Network Protocol Supports Multicasting", "SupportsMulticasting", kText},
    {"Network Protocol Supports Encryption", "SupportsEncryption", kText},
    {"Network Protocol Supports Quality of Service", "SupportsQualityofService", kText},
    {"Network Protocol Supports Guaranteed Bandwidth", "SupportsGuaranteedBandwidth", kText},
    {"Network Protocol Supports Connect Data", "SupportsConnectData", kText},
    {"Network Protocol Supports Disconnect Data", "SupportsDisconnectData", kText},
    {"Network Protocol Maximum Address Size", "MaximumAddressSize", kStrictInteger},
    {"Network Protocol Minimum Address Size", "MinimumAddressSize", kStrictInteger},
    {"Network Protocol Supports Fragmentation", "SupportsFragmentation", kText},
    {"Network Protocol Supports Graceful Closing", "SupportsGracefulClosing", kText},
    {"Network Protocol Supports Expedited Data", "SupportsExpeditedData", kText},
    {"Network Protocol Status", "Status", kText},
};

inline constexpr RowEntry kIP4RouteTableRows[] = {
    {"IPV4 Route Caption", "Caption", kText},
    {"IPV4 Route Description", "Description", kText},
    {"IPV4 Route Destination", "Destination", kText},
    {"IPV4 Route Information", "Information", kText},
    {"IPV4 Route Interface Index", "InterfaceIndex", kInteger},
    {"IPV4 Route Age", "Age", kInteger},
    {"IPV4 Route Mask", "Mask", kText},
    {"IPV4 Route Next Hop", "NextHop", kText},
    {"IPV4 Route Protocol", "Protocol", kInteger},
    {"IPV4 Route Type", "Type", kInteger},
    {"IPV4 Route Metric 1", "Metric1", kInteger},
    {"IPV4 Route Metric 2", "Metric2", kInteger},
    {"IPV4 Route Metric 3", "Metric3", kInteger},
    {"IPV4 Route Metric 4", "Metric4", kInteger},
    {"IPV4 Route Metric 5", "Metric5", kInteger},
};

// The DAC type, driver date and INF section are Windows driver-package
// facts: an adapter without them (every adapter on Linux, many on Windows)
// shows them empty and the rest of its rows, rather than ending the page at
// its second row. The architecture code is shown once: a second row with the
// same label and value would only repeat it.
inline constexpr RowEntry kVideoControllerRows[] = {
    {"Video Adapter Caption", "Caption", kStrictText},
    {"Video Adapter Type", "AdapterDACType", kText},
    {"Video Adapter Name", "Name", kStrictText},
    {"Video Adapter ID", "DeviceID", kStrictText},
    {"Video Adapter Description", "Description", kStrictText},
    {"Video Adapter Processor", "VideoProcessor", kText},
    {"Video Adapter RAM", "AdapterRAM", kInteger},
    {"Video Adapter Installed Display Drivers", "InstalledDisplayDrivers", kStrictText},
    {"Video Adapter Driver Date", "DriverDate", kText},
    {"Video Adapter Driver Version", "DriverVersion", kStrictText},
    {"Video Adapter Inf Filename", "InfFileName", kText},
    {"Video Adapter Inf Section", "InfSection", kText},
    {"Video Adapter Is Monochrome", "Monochrome", kStrictBoolean},
    {"Video Adapter Video Architecture", "VideoArchitecture", kStrictInteger},
    {"Video Adapter Mode Description", "VideoModeDescription", kText},
    {"Video Adapter Current Bits PerPixel", "CurrentBitsPerPixel", kInteger},
    {"Video Adapter Current Horizontal Resolution", "CurrentHorizontalResolution", kInteger},
    {"Video Adapter Current Vertical Resolution", "CurrentVerticalResolution", kInteger},
    {"Video Adapter Current Refresh Rate", "CurrentRefreshRate", kInteger},
    {"Video Adapter Max Refresh Rate", "MaxRefreshRate", kInteger},
    {"Video Adapter Current Scan Mode", "CurrentScanMode", kInteger},
    {"Video Adapter Current Number Of Columns", "CurrentNumberOfColumns", kInteger},
    {"Video Adapter Current Number Of Rows", "CurrentNumberOfRows", kInteger},
    {"Video Adapter Availability", "Availability", kInteger},
    {"Video Adapter PNPDevice ID", "PNPDeviceID", kStrictText},
    {"Video Adapter Compatibility", "AdapterCompatibility", kStrictText},
    {"Video Adapter Status", "Status", kStrictText},
    {"Video Adapter Number Of Color Planes", "NumberOfColorPlanes", kInteger},
    {"Video Adapter Number Of Video Pages", "NumberOfVideoPages", kInteger},
    {"Video Adapter Video Memory Type", "VideoMemoryType", kInteger},
    {"Video Adapter Protocol Supported", "ProtocolSupported", kInteger},
};

inline constexpr RowEntry kUSBHubRows[] = {
    {"USB Hub Caption", "Caption", kText},
    {"USB Hub Description", "Description", kText},
    {"USB Hub Device ID", "DeviceID", kText},
    {"USB Hub PNPDevice ID", "PNPDeviceID", kText},
    {"USB Hub USB Version", "USBVersion", kInteger},
    {"USB Hub Number Of Configs", "NumberOfConfigs", kInteger},
    {"USB Hub Current Config Value", "CurrentConfigValue", kInteger},
    {"USB Hub Number Of Ports", "NumberOfPorts", kInteger},
    {"USB Hub Protocol Code", "ProtocolCode", kInteger},
    {"USB Hub Last Error Code", "LastErrorCode", kInteger},
    {"USB Hub Error Description", "ErrorDescription", kText},
    {"USB Hub Config Manager User Config", "ConfigManagerUserConfig", kText},
    {"USB Hub Power Management Supported", "PowerManagementSupported", kText},
    {"USB Hub Power Management Capabilities", "PowerManagementCapabilities", kInteger},
    {"USB Hub Status", "Status", kText},
};

}  // namespace ui::devices
