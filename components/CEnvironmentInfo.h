#pragma once
// The environment component: class Win32_Environment and its record.
#include "components/PropertyRecord.h"

namespace components {

#define SYSQUILL_ENVIRONMENT_FIELDS(FIELD) \
    FIELD(Text, Caption)                   \
    FIELD(Text, Description)               \
    FIELD(Date, InstallDate)               \
    FIELD(Text, Name)                      \
    FIELD(Text, Status)                    \
    FIELD(Boolean, SystemVariable)         \
    FIELD(Text, UserName)                  \
    FIELD(Text, VariableValue)

class TEnvironmentProperties : public TPropertyRecord<TEnvironmentProperties> {
    SYSQUILL_RECORD(TEnvironmentProperties, SYSQUILL_ENVIRONMENT_FIELDS)
};

class TEnvironmentInfo : public TRecordComponent<TEnvironmentProperties> {
public:
    TEnvironmentInfo();
    TEnvironmentProperties& EnvironmentProperties() const { return Record(); }
};

}  // namespace components
