#include "files/FileName.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Any bytes a file name can hold come back from the QString unchanged; a name that carries no
// byte is shown as it is, and a shown name carries none (each became a character of a code page).
// A carried byte encodes as itself, where toUtf8 would write "?" for the lone surrogate.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::files;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString name = decodeFileName(bytes);
    if (std::string_view(encodeFileName(name).toStdString()) != bytes)
        std::abort();
    const QString shown = displayFileName(name);
    if (encodeFileName(shown) != shown.toUtf8())
        std::abort();
    if (encodeFileName(name) == name.toUtf8() && shown != name)
        std::abort();
    return 0;
}
