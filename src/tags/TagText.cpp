#include "tags/TagText.h"

#include "text/CodePageDetector.h"
#include "text/Utf8.h"

namespace korvane::tags {

std::string from8Bit(std::string_view bytes) {
    return codepage::toUtf8(bytes, codepage::detect(bytes).encoding);
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
