#pragma once
// The share component: class Win32_Share, its record and the decoder of its
// share type. The class calls the type "Type"; the record keeps it as
// ShareType, so the field does not read as the C++ word for a type.
#include "components/PropertyRecord.h"

namespace components {

#define SYSQUILL_SHARE_FIELDS(FIELD)                       \
    FIELD(Integer, AccessMask, uint32_t)                   \
    FIELD(Boolean, AllowMaximum)                           \
    FIELD(Text, Caption)                                   \
    FIELD(Text, Description)                               \
    FIELD(Date, InstallDate)                               \
    FIELD(Integer, MaximumAllowed, uint32_t)               \
    FIELD(Text, Name)                                      \
    FIELD(Text, Path)                                      \
    FIELD(CodeFrom, ShareType, kShareType, uint32_t, Type) \
    FIELD(Text, Status)

class TShareProperties : public TPropertyRecord<TShareProperties> {
    SYSQUILL_RECORD(TShareProperties, SYSQUILL_SHARE_FIELDS)
};

class TShareInfo : public TRecordComponent<TShareProperties> {
public:
    TShareInfo();
    TShareProperties& ShareProperties() const { return Record(); }
};

}  // namespace components
