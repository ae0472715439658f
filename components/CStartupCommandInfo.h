#pragma once
// The startup command component: class Win32_StartupCommand and its record.
// UserSID is kept as its text only: the list stays empty and its count 0.
#include "components/PropertyRecord.h"

namespace components {

#define SYSQUILL_STARTUP_COMMAND_FIELDS(FIELD) \
    FIELD(Text, Caption)                       \
    FIELD(Text, Command)                       \
    FIELD(Text, Description)                   \
    FIELD(Text, Location)                      \
    FIELD(Text, Name)                          \
    FIELD(Text, SettingID)                     \
    FIELD(Text, User)                          \
    FIELD(ListText, UserSID, TArrString)

class TStartupCommandProperties : public TPropertyRecord<TStartupCommandProperties> {
    SYSQUILL_RECORD(TStartupCommandProperties, SYSQUILL_STARTUP_COMMAND_FIELDS)
};

class TStartupCommandInfo : public TRecordComponent<TStartupCommandProperties> {
public:
    TStartupCommandInfo();
    TStartupCommandProperties& StartupCommandProperties() const { return Record(); }
};

}  // namespace components
