#include "text/CodePages.h"

#include "text/Utf8.h"

namespace korvane::codepage {

const CodePageTable& table(Encoding encoding) {
    switch (encoding) {
    case Encoding::Koi8R:
        return kKoi8R;
    case Encoding::Cp866:
        return kCp866;
    case Encoding::Windows1252:
        return kWindows1252;
    default:
        return kWindows1251;
    }
}

std::string_view name(Encoding encoding) {
    switch (encoding) {
    case Encoding::Ascii:
        return "ascii";
    case Encoding::Utf8:
        return "utf-8";
    case Encoding::Windows1251:
        return "cp1251";
    case Encoding::Koi8R:
        return "koi8-r";
    case Encoding::Cp866:
        return "cp866";
    case Encoding::Windows1252:
        return "cp1252";
    }
    return {};
}

std::string toUtf8(std::string_view bytes, Encoding encoding) {
    if (encoding == Encoding::Ascii || encoding == Encoding::Utf8)
        return std::string(bytes);
    const CodePageTable& high = table(encoding);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) {
        const auto byte = static_cast<unsigned char>(b);
        utf8::append(out, byte < 0x80 ? char32_t(byte) : char32_t(high[byte - 0x80]));
    }
    return out;
}

} // namespace korvane::codepage
