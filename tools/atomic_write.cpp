#include "tools/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

std::string write_temporary(const std::string& path, const std::string& bytes) {
    const std::filesystem::path p(path);
    std::string name = (p.parent_path() / ("." + p.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(name.data());
    if (fd < 0) return {};
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool ok = done == bytes.size() && fsync(fd) == 0;
    close(fd);
    if (!ok) {
        unlink(name.c_str());
        return {};
    }
    // mkstemp makes the file for its owner alone; a guide is for everyone to read.
    chmod(name.c_str(), 0644);
    return name;
}

void sync_directory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}
