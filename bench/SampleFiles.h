#pragma once

// What the benchmarks that make their own files share: a scratch folder of the process, quiet
// shell commands for the encoders and taggers, and the three minutes of noise they encode.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace korvane::bench {

// "<temporary folder>/korvane_<name>_<pid>", made by the caller.
inline std::filesystem::path scratchFolder(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("korvane_" + name + "_" + std::to_string(::getpid()));
}

// Runs the command with its output discarded; true when it succeeded.
inline bool shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Three minutes of stereo pink noise at 44.1 kHz as a WAV file: what every sample is encoded from.
inline bool makeNoiseWav(const std::filesystem::path& wav) {
    return shell("ffmpeg -v error -y -f lavfi -i anoisesrc=d=180:c=pink:a=0.2 -ac 2 -ar 44100 '" +
                 wav.string() + "'");
}

} // namespace korvane::bench
