#include "tags/TagText.h"

#include "tags/ByteSource.h"
#include "text/Utf8.h"

#include <algorithm>

namespace korvane::tags {

void EightBitTexts::setTagTexts(std::span<const std::string_view> texts) {
    m_tag = codepage::decide(texts, m_choice);
}

std::string EightBitTexts::decode(std::string_view bytes) {
    codepage::Decision decision = codepage::decide(bytes, m_choice);
    using codepage::Encoding;
    if (decision.encoding == Encoding::Ascii || decision.encoding == Encoding::Utf8)
        return std::string(bytes);
    if (decision.close && m_tag && m_tag->encoding != Encoding::Ascii &&
        m_tag->encoding != Encoding::Utf8)
        decision = *m_tag;
    std::string text = codepage::toUtf8(bytes, decision.encoding);
    m_decisions.push_back({std::string(bytes), text, decision});
    return text;
}

std::string EightBitTexts::decodeUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80 &&
            !utf8::validPrefix(bytes.substr(i)).empty())
            return utf8::withReplacements(bytes);
    }
    return decode(bytes);
}

bool EightBitTexts::anyClose() const {
    return std::any_of(m_decisions.begin(), m_decisions.end(),
                       [](const TextDecision& d) { return d.decision.close; });
}

std::string_view firstCharacters(std::string_view utf8, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t n = 0; n <= count && at < utf8.size(); ++at) {
        if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && n++ == count)
            break;
    }
    return utf8.substr(0, at);
}

} // namespace korvane::tags
