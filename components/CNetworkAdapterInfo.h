#pragma once
// The network adapter component: class Win32_NetworkAdapter and its record.
// The record keeps the fields of a network connection (access mask, local
// and remote names, ...); those the adapter class does not carry stay at
// their cleared values. It has no decoders.
#include "components/PropertyRecord.h"

namespace components {

// The fields in reading order.
#define SYSQUILL_NETWORK_ADAPTER_FIELDS(FIELD) \
    FIELD(Integer, AccessMask, uint32_t)       \
    FIELD(Text, Caption)                       \
    FIELD(Text, Comment)                       \
    FIELD(Text, ConnectionState)               \
    FIELD(Text, ConnectionType)                \
    FIELD(Text, Description)                   \
    FIELD(Text, DisplayType)                   \
    FIELD(Date, InstallDate)                   \
    FIELD(Text, LocalName)                     \
    FIELD(Text, Name)                          \
    FIELD(Boolean, Persistent)                 \
    FIELD(Text, ProviderName)                  \
    FIELD(Text, RemoteName)                    \
    FIELD(Text, RemotePath)                    \
    FIELD(Text, ResourceType)                  \
    FIELD(Text, Status)                        \
    FIELD(Text, UserName)

class TNetworkAdapterProperties : public TPropertyRecord<TNetworkAdapterProperties> {
    SYSQUILL_RECORD(TNetworkAdapterProperties, SYSQUILL_NETWORK_ADAPTER_FIELDS)

public:
    // The fields that name no property of Win32_NetworkAdapter: read, and
    // always cleared.
    static constexpr const char* kNotOfItsClass[] = {
        "AccessMask", "Comment",      "ConnectionState", "ConnectionType", "DisplayType",  "LocalName",
        "Persistent", "ProviderName", "RemoteName",      "RemotePath",     "ResourceType", "UserName",
    };
};

class TNetworkAdapterInfo : public TRecordComponent<TNetworkAdapterProperties> {
public:
    TNetworkAdapterInfo();
    TNetworkAdapterProperties& NetworkAdapterProperties() const { return Record(); }
};

}  // namespace components
