#include "video/FfmpegDetector.h"

#include <dlfcn.h>

#include <filesystem>
#include <string>

namespace korvane::video {
namespace {

using CreateDetector = MediaDetector* (*)();

// The module beside the executable (the build tree, a portable folder), else where an
// installed program keeps it.
CreateDetector loadProbeModule() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return nullptr;
    const std::filesystem::path folder = executable.parent_path();
    for (const std::filesystem::path& candidate :
         {folder / kProbeModuleName, folder / kInstalledProbeModuleFolder / kProbeModuleName}) {
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr)
            continue;
        if (void* entry = ::dlsym(module, kProbeModuleEntry))
            return reinterpret_cast<CreateDetector>(entry);
        ::dlclose(module);
    }
    return nullptr;
}

} // namespace

std::unique_ptr<MediaDetector> createFfmpegDetector() {
    // Loaded once, on the first probe of the run, and kept: its detectors live in its code.
    static const CreateDetector create = loadProbeModule();
    return std::unique_ptr<MediaDetector>(create ? create() : nullptr);
}

} // namespace korvane::video
