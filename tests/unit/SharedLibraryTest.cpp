#include <gtest/gtest.h>

#include <cstring>

#include "cimv2/sources/SharedLibrary.h"

// Declared only, so the table below can name a function no library has.
extern "C" int sysquill_no_such_function(void);

namespace {

#define LIBC_FUNCTIONS(X) X(strlen)
#define LIBC_WITH_A_MISSING_FUNCTION(X) X(strlen) X(sysquill_no_such_function)
#define ABSENT_LIBRARY_FUNCTIONS(X) X(strlen)

SYSQUILL_SHARED_LIBRARY(LibcApi, Libc, LIBC_FUNCTIONS)
SYSQUILL_SHARED_LIBRARY_LOADER(LibcApi, Libc, "libc.so.6", LIBC_FUNCTIONS)
SYSQUILL_SHARED_LIBRARY(IncompleteApi, Incomplete, LIBC_WITH_A_MISSING_FUNCTION)
SYSQUILL_SHARED_LIBRARY_LOADER(IncompleteApi, Incomplete, "libc.so.6", LIBC_WITH_A_MISSING_FUNCTION)
SYSQUILL_SHARED_LIBRARY(AbsentApi, Absent, ABSENT_LIBRARY_FUNCTIONS)
SYSQUILL_SHARED_LIBRARY_LOADER(AbsentApi, Absent, "libsysquill-absent.so.7", ABSENT_LIBRARY_FUNCTIONS)

TEST(SharedLibrary, ALoadedLibrarysFunctionsAreCalledThroughTheTable) {
    const LibcApi* libc = Libc();
    ASSERT_NE(libc, nullptr) << LibcApiLibrary().Error();
    EXPECT_EQ(libc->strlen("sysquill"), 8u);
    EXPECT_EQ(Libc(), libc);  // loaded once
    EXPECT_EQ(LibcApiLibrary().Error(), "");
}

TEST(SharedLibrary, AMissingLibraryOrFunctionLeavesNoTableAndSaysWhy) {
    EXPECT_EQ(Absent(), nullptr);
    EXPECT_FALSE(AbsentApiLibrary().Loaded());
    EXPECT_NE(AbsentApiLibrary().Error().find("libsysquill-absent.so.7"), std::string::npos)
        << AbsentApiLibrary().Error();

    // One missing function makes the whole table unusable, not half of it.
    EXPECT_EQ(Incomplete(), nullptr);
    EXPECT_TRUE(IncompleteApiLibrary().Loaded());
    EXPECT_EQ(IncompleteApiLibrary().Error(), "libc.so.6 has no sysquill_no_such_function");
}

}  // namespace
