#include "files/ProgramModule.h"

#include <dlfcn.h>

#include <filesystem>

namespace korvane {
namespace {

// Where an installed program keeps its modules, relative to its bin/ (the build says where).
constexpr const char* kInstalledModuleFolder = KORVANE_INSTALLED_MODULE_FOLDER;

} // namespace

void* loadModuleEntry(const char* fileName, const char* entryName) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return nullptr;
    const std::filesystem::path folder = executable.parent_path();
    for (const std::filesystem::path& candidate :
         {folder / fileName, folder / kInstalledModuleFolder / fileName}) {
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr)
            continue;
        if (void* entry = ::dlsym(module, entryName))
            return entry;
        ::dlclose(module);
    }
    return nullptr;
}

} // namespace korvane
