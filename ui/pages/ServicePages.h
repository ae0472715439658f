#pragma once
// The "Services" page: every object of Win32_Service read through the
// service component, by this row table, which its catalogue line carries.
#include "ui/pages/ComponentPages.h"

namespace ui::software {

inline constexpr RecordRow kServiceRows[] = {
    {"Service Caption", "Caption", RecordFormat::Text},
    {"Service Description", "Description", RecordFormat::Text},
    {"Service Display Name", "DisplayName", RecordFormat::Text},
    {"Service Process ID", "ProcessId", RecordFormat::Number},
    {"Service Path Name", "PathName", RecordFormat::Text},
    {"Service Service Type", "ServiceType", RecordFormat::Text},
    {"Service Started", "Started", RecordFormat::YesNo},
    {"Service Start Mode", "StartMode", RecordFormat::Text},
    {"Service State", "State", RecordFormat::Text},
    {"Service Status", "Status", RecordFormat::Text},
    {"Service Start Name", "StartName", RecordFormat::Text},
    {"Service Specific Exit Code", "ServiceSpecificExitCode", RecordFormat::Number},
    {"Service Exite Code", "ExitCode", RecordFormat::Number},
    {"Service Error Control", "ErrorControl", RecordFormat::Text},
    {"Service Accept Stop", "AcceptStop", RecordFormat::YesNo},
    {"Service Accept Pause", "AcceptPause", RecordFormat::YesNo},
    {"Service Desktop Ineract", "DesktopInteract", RecordFormat::YesNo},
    {"Service Check Point", "CheckPoint", RecordFormat::Number},
    {"Service Tag ID", "TagId", RecordFormat::Number},
    {"Service Wait Hint", "WaitHint", RecordFormat::Number},
};

}  // namespace ui::software
