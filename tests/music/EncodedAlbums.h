#pragma once

// A small collection of albums that real encoders make at test time, for the album totals:
// plain CBR mp3, mp3 at two rates, Ogg Vorbis, a FLAC disc image with its cue sheet, and an
// album of two disc folders. Each album also holds a sparse 4 MiB file, so that it passes the
// scan's size limit.

#include "../tags/EncodedFiles.h"

#include <QString>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace korvane::test {

struct EncodedAlbum {
    QString caption; // as the list shows it by default
    int tracks = 0;
    double seconds = 0; // the sum of what ffprobe says of its files
    bool mixed = false;
};

// The albums in the list's order, made under root ("G/Discs", "G/Image", ...).
inline std::vector<EncodedAlbum> makeEncodedAlbums(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    namespace encoded = korvane::tags::encoded;
    struct Track {
        const char* file;
        double seconds;
        const char* encoder;
    };
    struct Album {
        const char* folder;
        const char* caption;
        std::vector<Track> tracks;
        int counted; // tracks the album counts
        bool mixed;
    };
    const char* mp3 = "-c:a libmp3lame -b:a 128k";
    const std::vector<Album> albums = {
        {"G/Discs",
         "G  \\  Discs [2CD]",
         {{"CD1/01.mp3", 2.0, mp3}, {"CD2/01.mp3", 1.5, mp3}, {"CD2/02.mp3", 2.5, mp3}},
         3,
         false},
        {"G/Image", "G  \\  Image", {{"image.flac", 6.0, "-c:a flac"}}, 3, false},
        {"G/Mixed",
         "G  \\  Mixed",
         {{"01.mp3", 2.0, mp3}, {"02.mp3", 2.0, "-c:a libmp3lame -b:a 320k"}},
         2,
         true},
        {"G/Plain",
         "G  \\  Plain",
         {{"01.mp3", 2.0, mp3}, {"02.mp3", 3.0, mp3}, {"03.mp3", 4.5, mp3}},
         3,
         false},
        {"G/Vorbis",
         "G  \\  Vorbis",
         {{"01.ogg", 2.0, "-c:a libvorbis -q:a 4"}, {"02.ogg", 3.0, "-c:a libvorbis -q:a 4"}},
         2,
         false},
    };
    std::vector<EncodedAlbum> made;
    for (const Album& album : albums) {
        const fs::path folder = root / album.folder;
        fs::create_directories(folder);
        std::ofstream(folder / "scans.bin").close();
        fs::resize_file(folder / "scans.bin", 4 * 1024 * 1024);
        EncodedAlbum expected{QString::fromUtf8(album.caption), album.counted, 0, album.mixed};
        for (const Track& track : album.tracks) {
            const fs::path file = folder / track.file;
            fs::create_directories(file.parent_path());
            encoded::run("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=" +
                         std::to_string(track.seconds) + " -ac 2 -ar 44100 " + track.encoder +
                         " '" + file.string() + "'");
            expected.seconds += std::stod(encoded::probe(file).at("format.duration"));
        }
        made.push_back(expected);
    }
    // The disc image's sheet: three tracks of one FILE.
    std::ofstream(root / "G/Image/image.cue")
        << "PERFORMER \"G\"\nTITLE \"Image\"\nFILE \"image.flac\" WAVE\n"
           "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
           "  TRACK 02 AUDIO\n    INDEX 01 00:02:00\n"
           "  TRACK 03 AUDIO\n    INDEX 01 00:04:00\n";
    return made;
}

// A test over the albums above, made once for each test from the encoded files (skipped where
// the encoders are missing).
class EncodedAlbumsTest : public tags::encoded::EncodedFiles {
protected:
    void SetUp() override {
        EncodedFiles::SetUp();
        if (IsSkipped())
            return;
        m_albums = makeEncodedAlbums(m_dir);
        m_root = QString::fromStdString(m_dir.string());
    }

    std::vector<EncodedAlbum> m_albums;
    QString m_root;
};

} // namespace korvane::test
