#pragma once

// Real encoders and taggers run at test time: they make the files that the readers must read as
// the tools wrote them. A test whose tool is missing skips with the tool's name.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace korvane::test {

// The shell's quoting of one word.
inline std::string shellQuoted(const std::string& word) {
    std::string out = "'";
    for (const char c : word)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

inline bool haveTool(const std::string& name) {
    return std::system(("command -v " + shellQuoted(name) + " >/dev/null 2>&1").c_str()) == 0;
}

struct ToolResult {
    int status = -1;
    std::string out; // standard output; standard error goes to the terminal
};

inline ToolResult runTool(const std::string& command) {
    ToolResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.out.append(buffer, got);
    result.status = ::pclose(pipe);
    return result;
}

// Debian's python3-mutagen lives beside the system Python, whatever python3 comes first on PATH.
constexpr const char* kSystemPython = "/usr/bin/python3";

inline bool haveMutagen() {
    return std::system(
               (std::string(kSystemPython) + " -c 'import mutagen' >/dev/null 2>&1").c_str()) == 0;
}

// Runs a Python script with mutagen's ID3 names imported and `path` as `path`; true when it
// succeeded.
inline bool runMutagen(const std::filesystem::path& path, const std::string& script) {
    const std::filesystem::path file = path.string() + ".py";
    std::ofstream(file)
        << "import sys\nfrom mutagen.id3 import ID3, Frames\nglobals().update(Frames)\n"
           "path = sys.argv[1]\n"
        << script;
    const ToolResult result =
        runTool(std::string(kSystemPython) + ' ' + shellQuoted(file.string()) + ' ' +
                shellQuoted(path.string()));
    std::filesystem::remove(file);
    return result.status == 0;
}

} // namespace korvane::test
