#include "tags/CueSheetReader.h"

#include "tags/TagText.h"
#include "text/Utf8.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace korvane::tags {
namespace {

constexpr std::size_t kReadLimit = 1 << 20;
constexpr std::size_t kFileLimit = 64;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// The first word of `line` (upper-cased), the rest after the blanks that follow it.
std::string_view nextWord(std::string_view& line, std::string& upper) {
    std::size_t end = 0;
    while (end < line.size() && !isSpace(line[end]))
        ++end;
    const std::string_view word = line.substr(0, end);
    upper.assign(word);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    line.remove_prefix(end);
    while (!line.empty() && isSpace(line.front()))
        line.remove_prefix(1);
    return word;
}

// A command's value: the text between double quotes, or the rest of the line without its
// blanks (an unclosed quote runs to the end).
std::string_view value(std::string_view rest) {
    if (!rest.empty() && rest.front() == '"') {
        rest.remove_prefix(1);
        return rest.substr(0, rest.find('"'));
    }
    return trimBlanks(rest);
}

// FILE's name: quoted, or every word but the last (the file type).
std::string_view fileName(std::string_view rest) {
    if (!rest.empty() && rest.front() == '"')
        return value(rest);
    rest = trimBlanks(rest);
    const std::size_t lastBlank = rest.find_last_of(" \t");
    return lastBlank == std::string_view::npos ? rest : trimBlanks(rest.substr(0, lastBlank));
}

} // namespace

ReadResult CueSheetReader::load(const std::filesystem::path& fileName) {
    return loadFromFile(*this, fileName);
}

ReadResult CueSheetReader::load(ByteSource& source) {
    return guardReads([&] { return parse(source); });
}

ReadResult CueSheetReader::parse(ByteSource& source) {
    reset();
    const std::string bytes = source.read(0, kReadLimit);
    std::string_view text(bytes);
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());

    // Raw values first: the encoding is decided on the album part as a whole.
    std::string rawPerformer, rawTitle, rawDate, rawGenre, rawComment;
    std::vector<std::string> rawFiles;
    std::size_t parsedEnd = 0;
    bool found = false;
    bool albumPart = true; // up to the first TRACK
    std::string command;
    std::string remark;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        while (!line.empty() && isSpace(line.front()))
            line.remove_prefix(1);
        nextWord(line, command);
        if (command == "TRACK") {
            found = true;
            albumPart = false;
            ++tracks;
        } else if (command == "FILE") {
            ++fileCommands;
        }
        if (!albumPart)
            continue;
        parsedEnd = std::min(at, text.size());
        if (command == "PERFORMER" && rawPerformer.empty()) {
            rawPerformer = value(line);
        } else if (command == "TITLE" && rawTitle.empty()) {
            rawTitle = value(line);
        } else if (command == "FILE") {
            found = true;
            if (rawFiles.size() < kFileLimit)
                rawFiles.emplace_back(fileName(line));
        } else if (command == "REM") {
            nextWord(line, remark);
            std::string* target = remark == "DATE"      ? &rawDate
                                  : remark == "GENRE"   ? &rawGenre
                                  : remark == "COMMENT" ? &rawComment
                                                        : nullptr;
            if (target != nullptr && target->empty())
                *target = value(line);
        }
    }
    if (!found)
        return ReadResult::notThisFormat();
    utf8 = utf8::isValid(text.substr(0, parsedEnd));
    // A sheet is written in one code page: its texts are decided together with the whole of it.
    const std::string_view sheet = text.substr(0, parsedEnd);
    eightBit.setTagTexts(std::span(&sheet, 1));
    const auto decode = [this](const std::string& raw) {
        return utf8 ? raw : eightBit.decode(raw);
    };
    performer = decode(rawPerformer);
    title = decode(rawTitle);
    date = decode(rawDate);
    genre = decode(rawGenre);
    comment = decode(rawComment);
    for (const std::string& file : rawFiles)
        files.push_back(decode(file));
    return ReadResult::read();
}

} // namespace korvane::tags
