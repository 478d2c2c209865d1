// A read-only FUSE passthrough that waits a fixed time before answering every request, so that
// a local folder behaves like a collection on a network share (0.2 ms for a wired LAN, 1 to 5 ms
// over Wi-Fi or a VPN). Used by bench/share_bench.sh; it counts the requests of each kind and
// writes the counts when it is unmounted, so a benchmark can say how many listings a scan made.
//   latency-share SOURCE MOUNTPOINT DELAY_US COUNTS_FILE [FUSE options, e.g. -f]
#define FUSE_USE_VERSION 31
#include <fuse3/fuse.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

enum Request { Lookup, Listing, Open, Read, Other, RequestKinds };
constexpr std::array<const char*, RequestKinds> kRequestNames{"getattr", "readdir", "open", "read",
                                                              "other"};

struct Share {
    std::string source;
    std::chrono::microseconds delay{0};
    std::string countsFile;
    std::array<std::atomic<long>, RequestKinds> counts{};
};

Share& share() {
    return *static_cast<Share*>(fuse_get_context()->private_data);
}

// The round trip: every request waits before it is served.
std::string served(Request kind, const char* path) {
    Share& s = share();
    s.counts[kind].fetch_add(1, std::memory_order_relaxed);
    if (s.delay.count() > 0)
        std::this_thread::sleep_for(s.delay);
    return s.source + path;
}

int errnoResult(int result) {
    return result < 0 ? -errno : result;
}

int getattr(const char* path, struct stat* st, fuse_file_info*) {
    return errnoResult(lstat(served(Lookup, path).c_str(), st));
}

int readlink(const char* path, char* buffer, size_t size) {
    const ssize_t length = ::readlink(served(Other, path).c_str(), buffer, size - 1);
    if (length < 0)
        return -errno;
    buffer[length] = '\0';
    return 0;
}

int readdir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*,
            fuse_readdir_flags) {
    DIR* dir = opendir(served(Listing, path).c_str());
    if (!dir)
        return -errno;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        st.st_ino = entry->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &st, 0, static_cast<fuse_fill_dir_flags>(0)))
            break;
    }
    closedir(dir);
    return 0;
}

int open(const char* path, fuse_file_info* info) {
    if ((info->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    const int fd = ::open(served(Open, path).c_str(), info->flags);
    if (fd < 0)
        return -errno;
    info->fh = static_cast<uint64_t>(fd);
    return 0;
}

int read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* info) {
    served(Read, "");
    return errnoResult(static_cast<int>(pread(static_cast<int>(info->fh), buffer, size, offset)));
}

int release(const char*, fuse_file_info* info) {
    close(static_cast<int>(info->fh));
    return 0;
}

int statfs(const char* path, struct statvfs* st) {
    return errnoResult(statvfs(served(Other, path).c_str(), st));
}

void* init(fuse_conn_info* connection, fuse_config* config) {
    config->use_ino = 1;
    // A share answers lookups in one folder side by side, as NFS and SMB servers do.
    if (connection->capable & FUSE_CAP_PARALLEL_DIROPS)
        connection->want |= FUSE_CAP_PARALLEL_DIROPS;
    return fuse_get_context()->private_data;
}

void destroy(void* data) {
    const Share& s = *static_cast<Share*>(data);
    if (FILE* out = std::fopen(s.countsFile.c_str(), "w")) {
        for (int kind = 0; kind < RequestKinds; ++kind)
            std::fprintf(out, "%s %ld\n", kRequestNames[kind], s.counts[kind].load());
        std::fclose(out);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT DELAY_US COUNTS_FILE [FUSE options]\n",
                     argv[0]);
        return 2;
    }
    char* source = realpath(argv[1], nullptr);
    if (!source) {
        std::perror(argv[1]);
        return 2;
    }
    Share s;
    s.source = source;
    std::free(source);
    s.delay = std::chrono::microseconds(std::atol(argv[3]));
    s.countsFile = argv[4];

    fuse_operations operations{};
    operations.getattr = getattr;
    operations.readlink = readlink;
    operations.readdir = readdir;
    operations.open = open;
    operations.read = read;
    operations.release = release;
    operations.statfs = statfs;
    operations.init = init;
    operations.destroy = destroy;

    // fuse_main takes the program name, the mount point and the FUSE options.
    std::vector<char*> fuseArgs{argv[0], argv[2]};
    fuseArgs.push_back(const_cast<char*>("-oro,default_permissions,fsname=latency-share"));
    for (int i = 5; i < argc; ++i)
        fuseArgs.push_back(argv[i]);
    return fuse_main(static_cast<int>(fuseArgs.size()), fuseArgs.data(), &operations, &s);
}
