#pragma once
// The user account component: class Win32_UserAccount, its record and the
// decoders of its account type and SID type.
#include "components/PropertyRecord.h"

namespace components {

#define SYSQUILL_USER_ACCOUNT_FIELDS(FIELD)            \
    FIELD(CodeAs, AccountType, kAccountType, uint32_t) \
    FIELD(Text, Caption)                               \
    FIELD(Text, Description)                           \
    FIELD(Boolean, Disabled)                           \
    FIELD(Text, Domain)                                \
    FIELD(Text, FullName)                              \
    FIELD(Date, InstallDate)                           \
    FIELD(Boolean, LocalAccount)                       \
    FIELD(Boolean, Lockout)                            \
    FIELD(Text, Name)                                  \
    FIELD(Boolean, PasswordChangeable)                 \
    FIELD(Boolean, PasswordExpires)                    \
    FIELD(Boolean, PasswordRequired)                   \
    FIELD(Text, SID)                                   \
    FIELD(CodeAs, SIDType, kSIDType, uint8_t)          \
    FIELD(Text, Status)

class TUserAccountProperties : public TPropertyRecord<TUserAccountProperties> {
    SYSQUILL_RECORD(TUserAccountProperties, SYSQUILL_USER_ACCOUNT_FIELDS)
};

class TUserAccountInfo : public TRecordComponent<TUserAccountProperties> {
public:
    TUserAccountInfo();
    TUserAccountProperties& UserAccountProperties() const { return Record(); }
};

}  // namespace components
