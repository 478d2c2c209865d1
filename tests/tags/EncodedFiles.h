#pragma once

// Helpers of the tests on files that real encoders make at test time: tools, their output,
// what ffprobe states, and a fresh folder per test (skipped without ffmpeg and ffprobe).

#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>

namespace korvane::tags::encoded {

namespace fs = std::filesystem;

using korvane::test::haveTool;

// Runs a shell command and returns its standard output; fails the test on a non-zero exit.
inline std::string run(const std::string& command) {
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

// What ffprobe states, by its flat keys ("streams.stream.0.bit_rate", "format.tags.genre").
inline std::map<std::string, std::string> probe(const fs::path& file) {
    std::istringstream lines(run("ffprobe -v error -show_entries "
                                 "stream=bit_rate,sample_rate,channels:format=bit_rate,duration:"
                                 "format_tags:stream_tags -of flat '" +
                                 file.string() + "'"));
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

class EncodedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"ffmpeg", "ffprobe"}) {
            if (!haveTool(tool))
                GTEST_SKIP() << tool << " is not installed";
        }
        m_dir = fs::temp_directory_path() /
                ("korvane-encoded-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    fs::path m_dir;
};

inline std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace korvane::tags::encoded
