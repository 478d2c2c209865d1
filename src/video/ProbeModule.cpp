#include "files/ProgramModule.h"
#include "video/FfmpegDetector.h"

namespace korvane::video {

std::unique_ptr<MediaDetector> createFfmpegDetector() {
    using CreateDetector = MediaDetector* (*)();
    // Loaded on the first probe of the run and kept: its detectors live in its code.
    static const auto create =
        reinterpret_cast<CreateDetector>(loadModuleEntry(kProbeModuleName, kProbeModuleEntry));
    return std::unique_ptr<MediaDetector>(create ? create() : nullptr);
}

std::string ffmpegVersion() {
    using Version = const char* (*)();
    static const auto version =
        reinterpret_cast<Version>(loadModuleEntry(kProbeModuleName, kProbeModuleVersionEntry));
    return version ? version() : std::string();
}

} // namespace korvane::video
