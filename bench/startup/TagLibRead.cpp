// The start-up floor of a one-file tag reader: TagLib opens the file, reads its tag and audio
// properties and prints them on one line.
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const TagLib::FileRef file(argv[1]);
    if (file.isNull() || file.tag() == nullptr)
        return 1;
    const TagLib::Tag* tag = file.tag();
    const int bitrate = file.audioProperties() ? file.audioProperties()->bitrate() : 0;
    std::printf("%s\t%s\t%s\t%u\t%d\n", tag->artist().toCString(true), tag->album().toCString(true),
                tag->title().toCString(true), tag->year(), bitrate);
    return 0;
}
