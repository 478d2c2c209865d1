#include "files/ProgramModule.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace korvane {
namespace {

// Where an installed program keeps its modules, relative to its bin/ (the build says where).
constexpr const char* kInstalledModuleFolder = KORVANE_INSTALLED_MODULE_FOLDER;

template <typename T> bool readAt(std::ifstream& file, std::uint64_t offset, T& value) {
    file.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(file.read(reinterpret_cast<char*>(&value), sizeof value));
}

bool reachesPast(std::uint64_t offset, std::uint64_t length, std::uint64_t size) {
    return offset > size || length > size - offset;
}

// Why the file must not be mapped, or nothing: the loader maps the segments the program headers
// name, and touching a page past the end of a truncated file kills the process with SIGBUS.
std::string elfProblem(const std::filesystem::path& path) {
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(path, error);
    std::ifstream file(path, std::ios::binary);
    if (error || !file)
        return "cannot be read";
    ElfW(Ehdr) header;
    if (!readAt(file, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return "not a shared library";
    if (header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) ||
        header.e_phentsize != sizeof(ElfW(Phdr)))
        return "built for another machine";
    const std::string truncated = "truncated (" + std::to_string(size) + " bytes)";
    if (reachesPast(header.e_phoff, std::uint64_t{header.e_phnum} * sizeof(ElfW(Phdr)), size) ||
        reachesPast(header.e_shoff, std::uint64_t{header.e_shnum} * header.e_shentsize, size))
        return truncated;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        if (!readAt(file, header.e_phoff + i * sizeof segment, segment))
            return truncated;
        if (segment.p_type == PT_LOAD && reachesPast(segment.p_offset, segment.p_filesz, size))
            return truncated;
    }
    return {};
}

} // namespace

void* requireModuleEntry(const char* fileName, const char* entryName) {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw ModuleError(std::string("the module ") + fileName +
                          " cannot be found: the program's own folder is unknown");
    const std::filesystem::path folder = executable.parent_path();
    std::string problem = "not found in " + folder.string();
    for (const std::filesystem::path& candidate :
         {folder / fileName, folder / kInstalledModuleFolder / fileName}) {
        if (!std::filesystem::exists(candidate, error))
            continue;
        if (const std::string damage = elfProblem(candidate); !damage.empty()) {
            problem = candidate.string() + " is " + damage;
            continue;
        }
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            const char* why = ::dlerror();
            problem = why != nullptr ? why : candidate.string() + " cannot be loaded";
            continue;
        }
        if (void* entry = ::dlsym(module, entryName))
            return entry;
        problem = candidate.string() + " has no " + entryName;
        ::dlclose(module);
    }
    throw ModuleError(std::string("the module ") + fileName + " cannot be loaded: " + problem);
}

void* loadModuleEntry(const char* fileName, const char* entryName) {
    try {
        return requireModuleEntry(fileName, entryName);
    } catch (const ModuleError&) {
        return nullptr;
    }
}

} // namespace korvane
