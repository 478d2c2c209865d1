#include "files/FileName.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

// Any bytes a file name can hold come back from the QString unchanged, and the shown name has
// one character for each carried byte or decoded character.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvane::files;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const QString name = decodeFileName(bytes);
    if (std::string_view(encodeFileName(name).toStdString()) != bytes)
        std::abort();
    if (displayFileName(name).size() != name.size())
        std::abort();
    return 0;
}
