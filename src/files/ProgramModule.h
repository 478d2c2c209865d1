#pragma once

#include <stdexcept>

// Parts of the program that need large libraries (FFmpeg for the video probe, libxlsxwriter for
// the workbook) are modules of their own, loaded when first used, so that every other command
// starts with Qt Core alone.
namespace korvane {

// A module that cannot be loaded: missing, damaged or without its entry. The message names the
// module and the reason.
struct ModuleError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The named entry point of the module `fileName` ("korvane_probe.so"), loaded from beside the
// executable (the build tree, a portable folder) or else from the installed place; throws
// ModuleError when neither loads. A file is checked before it is mapped, so that a truncated copy
// is refused instead of faulting. A loaded module stays for the rest of the run.
void* requireModuleEntry(const char* fileName, const char* entryName);

// As requireModuleEntry, but nothing when the module cannot be loaded.
void* loadModuleEntry(const char* fileName, const char* entryName);

} // namespace korvane
