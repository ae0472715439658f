#pragma once
// Tests that need a real service (sshd, cupsd, a sandboxed systemd) skip
// when it cannot start on a developer's machine. CI sets
// SYSQUILL_REQUIRE_SERVICES=1: there a service that does not start fails
// the test, so a skipped test never passes for a tested one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace testsupport {

inline bool ServicesRequired() {
    const char* value = std::getenv("SYSQUILL_REQUIRE_SERVICES");
    return value && *value && std::strcmp(value, "0") != 0;
}

}  // namespace testsupport

// Returns from the test: a failure where services are required, else a skip.
#define SYSQUILL_SKIP_WITHOUT_SERVICE(reason)                             \
    if (::testsupport::ServicesRequired())                                \
        GTEST_FAIL() << "a required service did not start: " << (reason); \
    else                                                                  \
        GTEST_SKIP() << (reason)
