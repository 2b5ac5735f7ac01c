#include "platform/system/registry_file.h"

#include "platform/system/registry.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <memory>
#include <optional>
#include <vector>

namespace platform::system {
namespace {

constexpr char kFileName[] = "registry.txt";
constexpr char kLockName[] = "registry.lock";
constexpr char kTempPrefix[] = "registry.txt.tmp-";
constexpr char kBadSuffix[] = ".bad";
// Stores kept aside are never overwritten: the second is .bad.2, and so on.
constexpr int kMaxKeptAside = 1000;

faults::RegistryFault g_fault = faults::RegistryFault::None;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    bool ok() const { return m_fd >= 0; }
    // Closes now and tells whether the close succeeded.
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

std::string home_directory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

// What tells one version of the store file from another. Writers replace
// the file (a new inode); a change in place by anything else moves its
// size or its change time.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec changed{};

    static FileStamp of(const struct stat& info) { return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_ctim}; }
    bool operator==(const FileStamp& o) const {
        return device == o.device && inode == o.inode && size == o.size && changed.tv_sec == o.changed.tv_sec &&
               changed.tv_nsec == o.changed.tv_nsec;
    }
};

timespec file_clock_now() {
    timespec now{};
#ifdef CLOCK_REALTIME_COARSE
    // The clock the file system stamps files with.
    ::clock_gettime(CLOCK_REALTIME_COARSE, &now);
#else
    ::clock_gettime(CLOCK_REALTIME, &now);
#endif
    return now;
}

bool before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The store as last read, so that reading value after value (an
// enumeration) parses the file once, not once a value.
struct CachedStore {
    std::string path;
    FileStamp stamp;
    // A change stamped in the same tick of the file clock as the read could
    // leave the stamp as it was; such a read is not trusted again.
    bool trusted = false;
    std::shared_ptr<RegistryData> data;
    bool unreadable = false;

    void forget() {
        path.clear();
        data.reset();
    }
};

CachedStore& cache() {
    static CachedStore cached;
    return cached;
}

StoreRead unreadable() {
    return StoreRead{std::make_shared<const RegistryData>(), true};
}

StoreRead missing() {
    static const auto empty = std::make_shared<const RegistryData>();
    return StoreRead{empty, false};
}


// The store at path. A missing file, or anything that is not a regular file
// (a named pipe must never hold the program up), is an empty store.
StoreRead load(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno == ENOENT || errno == ENOTDIR ? missing() : unreadable();
    if (!S_ISREG(info.st_mode)) return missing();
    CachedStore& cached = cache();
    if (cached.trusted && cached.path == path && cached.stamp == FileStamp::of(info))
        return StoreRead{cached.data, cached.unreadable};

    const timespec readAt = file_clock_now();
    // O_NONBLOCK: the file may have become a pipe since the stat.
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.ok()) return errno == ENOENT ? missing() : unreadable();
    if (::fstat(fd.get(), &info) != 0) return unreadable();
    if (!S_ISREG(info.st_mode)) return missing();
    if (static_cast<unsigned long long>(info.st_size) > kMaxStoreBytes) return unreadable();
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return unreadable();
        if (got == 0) break;
        text.append(chunk, static_cast<std::size_t>(got));
        if (text.size() > kMaxStoreBytes) return unreadable();
    }
    std::optional<RegistryData> parsed = RegistryData::parse(text);
    cached.path = path;
    cached.stamp = FileStamp::of(info);
    cached.trusted = before(info.st_ctim, readAt);
    cached.unreadable = !parsed.has_value();
    cached.data = std::make_shared<RegistryData>(parsed ? std::move(*parsed) : RegistryData{});
    return StoreRead{cached.data, cached.unreadable};
}

// mkdir -p with owner-only permissions for what it creates.
bool make_directories(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

bool sync_directory(const std::string& directory) {
    Fd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.ok() && ::fsync(fd.get()) == 0;
}

// Temporary files are made only under the lock, so any found while holding
// it were left by a writer that was stopped.
void remove_stale_temporaries(const std::string& directory) {
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return;
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name).starts_with(kTempPrefix)) stale.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& name : stale) ::unlink((directory + "/" + name).c_str());
}

// Moves the unreadable store at path to the first free name of
// registry.txt.bad, .bad.2, .bad.3 ...; writers hold the lock, so no other
// writer takes the name between the look and the rename. Past the last
// number the store is left to be replaced.
void keep_aside(const std::string& path) {
    for (int n = 1; n <= kMaxKeptAside; ++n) {
        const std::string aside = path + kBadSuffix + (n == 1 ? std::string() : "." + std::to_string(n));
        struct stat info {};
        if (::lstat(aside.c_str(), &info) == 0 || errno != ENOENT) continue;
        ::rename(path.c_str(), aside.c_str());
        return;
    }
}

// Writes text as the new store at path; the old one stays whole until the
// rename, which replaces it in one step.
bool replace_store(const std::string& directory, const std::string& path, const std::string& text, bool keepOldAside) {
    std::string temp = directory + "/" + kTempPrefix + "XXXXXX";
    Fd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd.ok()) return false;
    bool written = ::fchmod(fd.get(), 0600) == 0 && g_fault != faults::RegistryFault::WriteFails &&
                   write_all(fd.get(), text) && ::fsync(fd.get()) == 0;
    written = fd.close() && written;
    if (!written) {
        ::unlink(temp.c_str());
        return false;
    }
    if (g_fault == faults::RegistryFault::ExitBeforeRename) ::_exit(faults::kRegistryFaultExitCode);
    if (keepOldAside) keep_aside(path);
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    // The rename itself reaches the disk only with the directory.
    sync_directory(directory);
    return true;
}

}  // namespace

std::string registry_directory() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/')
        return std::string(config) + "/mapfolio";
    const std::string home = home_directory();
    return home.empty() ? std::string() : home + "/.config/mapfolio";
}

std::string registry_file_path() {
    const std::string directory = registry_directory();
    return directory.empty() ? std::string() : directory + "/" + kFileName;
}

StoreRead read_registry() {
    const std::string path = registry_file_path();
    return path.empty() ? missing() : load(path);
}

LONG change_registry(const RegistryChange& change) {
    const std::string directory = registry_directory();
    if (directory.empty() || !make_directories(directory)) return ERROR_CANTWRITE;
    const std::string path = directory + "/" + kFileName;
    Fd lock(::open((directory + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!lock.ok()) return ERROR_CANTWRITE;
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR) return ERROR_CANTWRITE;
    }
    remove_stale_temporaries(directory);
    StoreRead old = load(path);
    const bool unreadable = old.unreadable;
    // Most changes change nothing (a key opened again, a value set as it
    // was), so the store as read is changed in place, not copied, unless
    // someone else holds it: copying a large store would cost more than
    // everything else.
    CachedStore& cached = cache();
    const bool own = cached.data.get() == old.data.get() && cached.data.use_count() == 2;
    const std::shared_ptr<RegistryData> data = own ? cached.data : std::make_shared<RegistryData>(*old.data);
    old = StoreRead{};
    bool changed = false;
    const LONG result = change(*data, changed);
    if (!changed) return result;
    // The file is about to be replaced, or the change did not take: either
    // way the store in memory is no longer the file's.
    if (own) cached.forget();
    if (result != ERROR_SUCCESS) return result;
    const std::string text = data->to_text();
    if (text.size() > kMaxStoreBytes) return ERROR_CANTWRITE;
    return replace_store(directory, path, text, unreadable) ? ERROR_SUCCESS : ERROR_CANTWRITE;
    // The lock goes with its descriptor.
}

}  // namespace platform::system

namespace platform::faults {

void set_registry_fault(RegistryFault fault) { system::g_fault = fault; }

}  // namespace platform::faults
