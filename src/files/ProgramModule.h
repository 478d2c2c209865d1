#pragma once

// Parts of the program that need large libraries (FFmpeg for the video probe, libxlsxwriter for
// the workbook) are modules of their own, loaded when first used, so that every other command
// starts with Qt Core alone.
namespace korvane {

// The named entry point of the module `fileName` ("korvane_probe.so"), loaded from beside the
// executable (the build tree, a portable folder) or else from the installed place; nothing when
// neither loads. A loaded module stays for the rest of the run.
void* loadModuleEntry(const char* fileName, const char* entryName);

} // namespace korvane
