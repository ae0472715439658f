// Replays every captured machine under tests/fixtures/<machine>/tree through
// the provider and compares each class's object text with
// tests/fixtures/<machine>/golden/<Class>.mof. After a reviewed change,
// SYSQUILL_REGENERATE_GOLDEN=1 rewrites the golden files instead;
// SYSQUILL_GOLDEN_MACHINE=<machine> limits the walk to one fixture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cimv2/core/ObjectText.h"
#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/provider/Provider.h"
#include "tests/support/Fixtures.h"

using namespace cimv2;
namespace fs = std::filesystem;

namespace {

const char* kRegenerate = "SYSQUILL_REGENERATE_GOLDEN=1 ./sysquill_tests --gtest_filter='Golden.*'";

bool Regenerating() {
    const char* flag = std::getenv("SYSQUILL_REGENERATE_GOLDEN");
    return flag && std::string(flag) == "1";
}

std::vector<fs::path> Machines() {
    std::vector<fs::path> machines = testsupport::FixtureMachines();
    if (const char* only = std::getenv("SYSQUILL_GOLDEN_MACHINE"))
        std::erase_if(machines, [only](const fs::path& m) { return m.filename() != only; });
    return machines;
}

std::string Render(const Provider& provider, const std::string& className) {
    std::string text;
    for (const auto& inst : provider.ExecQuery("SELECT * FROM " + className).instances) text += WriteObjectText(inst);
    return text;
}

std::optional<std::string> ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace

TEST(Golden, EveryFixtureMatchesItsGoldenOutput) {
    const auto machines = Machines();
    ASSERT_FALSE(machines.empty()) << "no fixture trees under " << SYSQUILL_FIXTURES;
    ASSERT_FALSE(AllClasses().empty());
    const bool regenerate = Regenerating();
    for (const auto& machine : machines) {
        Provider provider(testsupport::FixtureContext(machine));
        for (const auto& entry : AllClasses()) {
            const std::string className = entry.schema().Name();
            const fs::path golden = machine / "golden" / (className + ".mof");
            SCOPED_TRACE(golden.string());
            std::string actual;
            try {
                actual = Render(provider, className);
            } catch (const std::exception& e) {
                ADD_FAILURE() << className << " failed on " << machine.filename() << ": " << e.what();
                continue;
            }
            if (regenerate) {
                fs::create_directories(golden.parent_path());
                std::ofstream(golden, std::ios::binary) << actual;
                std::cout << "rewrote " << golden.string() << "\n";
                continue;
            }
            auto expected = ReadText(golden);
            if (!expected) {
                ADD_FAILURE() << "missing golden file " << golden << "; create it with: " << kRegenerate;
                continue;
            }
            EXPECT_EQ(actual, *expected) << "output of " << className << " changed; after review run: " << kRegenerate;
        }
    }
    if (regenerate) std::cout << "golden files regenerated; review the diff before committing\n";
}

// A fixture answers from its files alone: two runs give the same text, so
// nothing like the current time can leak into the golden files.
TEST(Golden, FixtureOutputIsStableBetweenRuns) {
    for (const auto& machine : Machines()) {
        Provider first(testsupport::FixtureContext(machine));
        Provider second(testsupport::FixtureContext(machine));
        for (const auto& entry : AllClasses()) {
            const std::string className = entry.schema().Name();
            SCOPED_TRACE(machine.filename().string() + " " + className);
            try {
                EXPECT_EQ(Render(first, className), Render(second, className));
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
        }
    }
}
