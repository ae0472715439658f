#include "components/CUserAccountInfo.h"

namespace components {

namespace {

// The match is on the whole value: combined flags decode to nothing.
constexpr TCodeText kAccountType[] = {
    {256,
     "UF_TEMP_DUPLICATE_ACCOUNT. Local user account for users who have a primary account in another domain. This "
     "account provides user access to this domain only\u2014not to any domain that trusts this domain."},
    {512, "UF_NORMAL_ACCOUNT. Default account type that represents a typical user."},
    {2048, "UF_INTERDOMAIN_TRUST_ACCOUNT. Account for a system domain that trusts other domains."},
    {4096,
     "UF_WORKSTATION_TRUST_ACCOUNT. Computer account for a computer system running Windows 2000 or Windows NT that is "
     "a member of this domain."},
    {8192, "UF_SERVER_TRUST_ACCOUNT. Account for a system backup domain controller that is a member of this domain."},
};

constexpr TCodeText kSIDType[] = {
    {1, "SidTypeUser"},    {2, "SidTypeGroup"},          {3, "SidTypeDomain"},
    {4, "SidTypeAlias"},   {5, "SidTypeWellKnownGroup"}, {6, "SidTypeDeletedAccount"},
    {7, "SidTypeInvalid"}, {8, "SidTypeUnknown"},        {9, "SidTypeComputer"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TUserAccountProperties, SYSQUILL_USER_ACCOUNT_FIELDS)

TUserAccountInfo::TUserAccountInfo() : TRecordComponent("Win32_UserAccount", "/en-us/library/aa394507(VS.85).aspx") {}

}  // namespace components
