#pragma once
// A throw-away machine tree for provider tests: files and relative symlinks
// under a fresh temporary directory, removed when the object goes.
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class TempTree {
public:
    TempTree() {
        std::string pattern = (std::filesystem::temp_directory_path() / "sysquill-tree-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        FDir = pattern;
    }
    ~TempTree() {
        std::error_code ignored;
        std::filesystem::remove_all(FDir, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Dir() const { return FDir; }

    // Writes text to the machine path ("/proc/interrupts").
    TempTree& File(const std::string& path, const std::string& text) {
        auto full = std::filesystem::path(FDir + path);
        std::filesystem::create_directories(full.parent_path());
        std::ofstream(full, std::ios::binary) << text;
        return *this;
    }
    // A symlink at path with the given (relative) target, as sysfs has them.
    TempTree& Link(const std::string& path, const std::string& target) {
        auto full = std::filesystem::path(FDir + path);
        std::filesystem::create_directories(full.parent_path());
        std::filesystem::create_symlink(target, full);
        return *this;
    }
    TempTree& MakeDir(const std::string& path) {
        std::filesystem::create_directories(FDir + path);
        return *this;
    }

private:
    std::string FDir;
};
