#include "tags/VorbisComment.h"

#include "tags/ByteSource.h"

#include <algorithm>
#include <initializer_list>

namespace korvane::tags {

VorbisComment parseVorbisComment(std::string_view body) {
    VorbisComment comment;
    const ByteView view(body);
    std::size_t position = 0;
    // A length is checked against what remains before anything is taken.
    const auto take = [&](std::string_view& out) {
        if (!view.fits(position, 4))
            return false;
        const std::uint32_t length = view.le32(position);
        if (!view.fits(position + 4, length))
            return false;
        out = view.bytes(position + 4, length);
        position += 4 + std::size_t{length};
        return true;
    };
    if (!take(comment.vendor) || !view.fits(position, 4))
        return comment;
    const std::uint32_t count = view.le32(position);
    position += 4;
    // Every item takes at least its 4 length bytes, so the walk ends with the bytes.
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view item;
        if (!take(item))
            break;
        // Empty items say nothing; keeping them would let a count of zeros fill the list.
        if (!item.empty())
            comment.items.push_back(item);
    }
    return comment;
}

std::optional<CommentField> splitComment(std::string_view item) {
    const std::size_t equals = item.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::nullopt;
    return CommentField{item.substr(0, equals), item.substr(equals + 1)};
}

bool sameCommentName(std::string_view name, std::string_view expected) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    return std::equal(name.begin(), name.end(), expected.begin(), expected.end(),
                      [&](char a, char b) { return upper(a) == upper(b); });
}

std::string VorbisComment::value(std::string_view name, EightBitTexts& eightBit) const {
    for (const std::string_view item : items) {
        const auto field = splitComment(item);
        if (!field || !sameCommentName(field->name, name))
            continue;
        const std::string_view text = trimBlanks(field->value);
        if (!text.empty())
            return eightBit.decodeUtf8(text);
    }
    return {};
}

void applyVorbisComment(const VorbisComment& comment, AudioProperties& properties,
                        EightBitTexts& eightBit) {
    const auto firstOf = [&comment, &eightBit](std::initializer_list<std::string_view> names) {
        for (const std::string_view name : names) {
            std::string text = comment.value(name, eightBit);
            if (!text.empty())
                return text;
        }
        return std::string();
    };
    properties.artist = firstOf({"ARTIST", "ALBUMARTIST", "PERFORMER"});
    properties.album = comment.value("ALBUM", eightBit);
    properties.year = yearFromDate(comment.value("DATE", eightBit));
    properties.genre = comment.value("GENRE", eightBit);
    properties.comment = firstOf({"COMMENT", "DESCRIPTION"});
}

} // namespace korvane::tags
