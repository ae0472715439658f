#pragma once
// A system library loaded the first time a source needs it, not when the
// program starts: linked directly, libcups (with its TLS, Kerberos and
// Avahi dependencies), libsystemd, libkmod, libblkid and libdrm were loaded
// at every start of the query tool, whether or not the query printed
// anything or asked systemd. A loaded library stays loaded for the life of
// the process. Each library's loader carries an ELF note naming it
// (DlopenNote.h), so packaging still sees the dependency.

#include <dlfcn.h>

#include <string>

namespace cimv2 {

class SharedLibrary {
public:
    explicit SharedLibrary(const char* soname) : FName(soname), FHandle(dlopen(soname, RTLD_NOW | RTLD_LOCAL)) {
        if (!FHandle) {
            const char* why = dlerror();
            FError = why ? why : FName + " cannot be loaded";
        }
    }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    const std::string& Name() const { return FName; }
    bool Loaded() const { return FHandle != nullptr; }
    // Why the library or one of its functions is unusable; empty when all is well.
    const std::string& Error() const { return FError; }

    // Points `function` at the library's `name`; false when it lacks it.
    template <typename Function>
    bool Resolve(Function& function, const char* name) {
        void* symbol = FHandle ? dlsym(FHandle, name) : nullptr;
        function = reinterpret_cast<Function>(symbol);
        if (!symbol && FError.empty()) FError = FName + " has no " + name;
        return symbol != nullptr;
    }

private:
    std::string FName;
    void* FHandle;
    std::string FError;
};

}  // namespace cimv2

#define SYSQUILL_FUNCTION_POINTER(name) decltype(&::name) name = nullptr;
#define SYSQUILL_RESOLVE_FUNCTION(name) &&library.Resolve(api.name, #name)

// Declares `Api`, the library's functions as pointers typed from its own
// header; `Api##Library()`, the library itself (for its error); and
// `Accessor()`, which loads it once and gives the table, or null when the
// library or any of the functions is missing.
#define SYSQUILL_SHARED_LIBRARY(Api, Accessor, FUNCTIONS) \
    struct Api {                                          \
        FUNCTIONS(SYSQUILL_FUNCTION_POINTER)              \
    };                                                    \
    ::cimv2::SharedLibrary& Api##Library();               \
    const Api* Accessor();

// Defines what SYSQUILL_SHARED_LIBRARY declares, loading `soname`.
#define SYSQUILL_SHARED_LIBRARY_LOADER(Api, Accessor, soname, FUNCTIONS)                   \
    ::cimv2::SharedLibrary& Api##Library() {                                               \
        static ::cimv2::SharedLibrary library(soname);                                     \
        return library;                                                                    \
    }                                                                                      \
    const Api* Accessor() {                                                                \
        static const Api* const loaded = []() -> const Api* {                              \
            static Api api;                                                                \
            ::cimv2::SharedLibrary& library = Api##Library();                              \
            return library.Loaded() FUNCTIONS(SYSQUILL_RESOLVE_FUNCTION) ? &api : nullptr; \
        }();                                                                               \
        return loaded;                                                                     \
    }
