#pragma once

// Running the real encoders and ffprobe from tests that make their files at test time.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

namespace korvane::test {

inline bool haveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs a shell command and returns its standard output; fails the test on a non-zero exit.
inline std::string runTool(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return out;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return out;
}

// What ffprobe states about the first audio stream and the container, by its flat keys
// ("streams.stream.0.sample_rate", "format.duration").
inline std::map<std::string, std::string> probeAudio(const std::string& file) {
    std::istringstream lines(runTool("ffprobe -v error -select_streams a:0 -show_entries "
                                     "stream=sample_rate,channels,duration:format=duration -of "
                                     "flat '" +
                                     file + "'"));
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(lines, line)) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        values[line.substr(0, equals)] = value;
    }
    return values;
}

} // namespace korvane::test
