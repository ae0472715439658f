#pragma once
// The "Display", "Monitor", "USB Controller" and "Sound Device" pages: every
// object of Win32_DisplayConfiguration, Win32_DesktopMonitor,
// Win32_USBController and Win32_SoundDevice read through their components,
// one block per object, by these row tables, which their catalogue lines
// carry. The labels are the pages' own, "Config Manage User Config" and
// "Power Managment" included.
#include "ui/pages/ComponentPages.h"

namespace ui::displaysound {

constexpr RecordFormat kText = RecordFormat::Text;
constexpr RecordFormat kYesNo = RecordFormat::YesNo;
constexpr RecordFormat kNumber = RecordFormat::Number;
constexpr RecordFormat kDate = RecordFormat::Date;
constexpr RecordFormat kDecoded = RecordFormat::Decoded;

inline constexpr RecordRow kDisplayRows[] = {
    {"Display Caption", "Caption", kText},
    {"Display Description", "Description", kText},
    {"Display Device Name", "DeviceName", kText},
    {"Display Setting ID", "SettingID", kText},
    {"Display Specification Version", "SpecificationVersion", kNumber},
    {"Display Pels Height", "PelsHeight", kNumber},
    {"Display Pels Width", "PelsWidth", kNumber},
    {"Display Bits Per Pel", "BitsPerPel", kNumber},
    {"Display Log Pixels", "LogPixels", kNumber},
    {"Display Display Frequency", "DisplayFrequency", kNumber},
    {"Display Driver Version", "DriverVersion", kText},
    {"Display Display Flags", "DisplayFlags", kNumber},
    {"Display Dither Type Code", "DitherType", kNumber},
    {"Display Dither Type", "DitherTypeAsString", kDecoded},
    {"Display ICM Intent", "ICMIntent", kNumber},
    {"Display ICM Method", "ICMMethod", kNumber},
};

inline constexpr RecordRow kMonitorRows[] = {
    {"Monitor Caption", "Caption", kText},
    {"Monitor Description", "Description", kText},
    {"Monitor Device ID", "DeviceID", kText},
    {"Monitor Availability Code", "Availability", kNumber},
    {"Monitor Availability", "AvailabilityAsString", kDecoded},
    {"Monitor Manufacturer", "MonitorManufacturer", kText},
    {"Monitor Type", "MonitorType", kText},
    {"Monitor Display Type Code", "DisplayType", kNumber},
    {"Monitor Display Type", "DisplayTypeAsString", kDecoded},
    {"Monitor Config Manager Error Code", "ConfigManagerErrorCode", kNumber},
    {"Monitor Config Manager Error", "ConfigManagerErrorCodeAsString", kDecoded},
    {"Monitor Config Manage User Config", "ConfigManagerUserConfig", kYesNo},
    {"Monitor Bandwidth", "Bandwidth", kNumber},
    {"Monitor Is Locked", "IsLocked", kYesNo},
    {"Monitor Pixels Per X Logical Inch", "PixelsPerXLogicalInch", kNumber},
    {"Monitor Pixels Per Y Logical Inch", "PixelsPerYLogicalInch", kNumber},
    {"Monitor Screen Height", "ScreenHeight", kNumber},
    {"Monitor Screen Width", "ScreenWidth", kNumber},
    {"Monitor Status", "Status", kText},
    {"Monitor Status Info Code", "StatusInfo", kNumber},
    {"Monitor Status Info", "StatusInfoAsString", kDecoded},
    {"Monitor Power Managment Supported", "PowerManagementSupported", kYesNo},
    {"Monitor Power Managment Capabilities", "PowerManagementCapabilitiesAsString", kText},
    {"Monitor PNP Device ID", "PNPDeviceID", kText},
    {"Monitor Last Error Code", "LastErrorCode", kNumber},
    {"Monitor Error Cleared", "ErrorCleared", kYesNo},
    {"Monitor Install Date", "InstallDate", kDate},
};

inline constexpr RecordRow kUSBControllerRows[] = {
    {"USB Controller Caption", "Caption", kText},
    {"USB Controller Description", "Description", kText},
    {"USB Controller Manufacturer", "Manufacturer", kText},
    {"USB Controller Device ID", "DeviceID", kText},
    {"USB Controller PNP Device ID", "PNPDeviceID", kText},
    {"USB Controller Protocol Supported Code", "ProtocolSupported", kNumber},
    {"USB Controller Protocol Supported", "ProtocolSupportedAsString", kDecoded},
    {"USB Controller Max Number Controlled", "MaxNumberControlled", kNumber},
    {"USB Controller Config Manager Error Code", "ConfigManagerErrorCode", kNumber},
    {"USB Controller Config Manager Error", "ConfigManagerErrorCodeAsString", kDecoded},
    {"USB Controller Config Manager User Config", "ConfigManagerUserConfig", kYesNo},
    {"USB Controller Status", "Status", kText},
    {"USB Controller Status Info Code", "StatusInfo", kNumber},
    {"USB Controller Status Info", "StatusInfoAsString", kDecoded},
    {"USB Controller Time Of Last Reset", "TimeOfLastReset", kDate},
    {"USB Controller Power Management Supported", "PowerManagementSupported", kYesNo},
    {"USB Controller Power Management Capabilities", "PowerManagementCapabilitiesAsString", kText},
    {"USB Controller Error Cleared", "ErrorCleared", kYesNo},
    {"USB Controller Last Error Code", "LastErrorCode", kNumber},
    {"USB Controller Error Description", "ErrorDescription", kText},
    {"USB Controller Install Date", "InstallDate", kDate},
};

inline constexpr RecordRow kSoundDeviceRows[] = {
    {"Sound Device Caption", "Caption", kText},
    {"Sound Device Description", "Description", kText},
    {"Sound Device Manufacturer", "Manufacturer", kText},
    {"Sound Device Product Name", "ProductName", kText},
    {"Sound Device ID", "DeviceID", kText},
    {"Sound Device PNP Device ID", "PNPDeviceID", kText},
    {"Sound Device DMA Buffer Size", "DMABufferSize", kNumber},
    {"Sound Device MPU 401 Address", "MPU401Address", kNumber},
    {"Sound Device Availability Code", "Availability", kNumber},
    {"Sound Device Availability", "AvailabilityAsString", kDecoded},
    {"Sound Device Config Manager Error Code", "ConfigManagerErrorCode", kNumber},
    {"Sound Device Config Manager Error", "ConfigManagerErrorCodeAsString", kDecoded},
    {"Sound Device Config Manager User Config", "ConfigManagerUserConfig", kYesNo},
    {"Sound Device Error Cleared", "ErrorCleared", kYesNo},
    {"Sound Device Last Error Code", "LastErrorCode", kNumber},
    {"Sound Device Error Description", "ErrorDescription", kText},
    {"Sound Device Power Management Supported", "PowerManagementSupported", kYesNo},
    {"Sound Device Power Management Capabilities", "PowerManagementCapabilitiesAsString", kText},
    {"Sound Device Status", "Status", kText},
    {"Sound Device Status Info Code", "StatusInfo", kNumber},
    {"Sound Device Status Info", "StatusInfoAsString", kDecoded},
    {"Sound Device Install Date", "InstallDate", kDate},
};

}  // namespace ui::displaysound
