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

#include <vector>

namespace platform::system {
namespace {

constexpr char kFileName[] = "registry.txt";
constexpr char kLockName[] = "registry.lock";
constexpr char kTempPrefix[] = "registry.txt.tmp-";
constexpr char kBadSuffix[] = ".bad";

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

enum class ReadResult { Missing, Read, Unreadable };

ReadResult read_whole(const std::string& path, std::string& out) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.ok()) return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return ReadResult::Unreadable;
    if (static_cast<unsigned long long>(info.st_size) > kMaxStoreBytes) return ReadResult::Unreadable;
    out.clear();
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ReadResult::Unreadable;
        if (got == 0) break;
        out.append(chunk, static_cast<std::size_t>(got));
        if (out.size() > kMaxStoreBytes) return ReadResult::Unreadable;
    }
    return ReadResult::Read;
}

// The store at path: empty when missing; corrupt is set when the file is
// there but is not a store.
RegistryData load(const std::string& path, bool& corrupt) {
    corrupt = false;
    std::string text;
    switch (read_whole(path, text)) {
    case ReadResult::Missing: return RegistryData{};
    case ReadResult::Unreadable: corrupt = true; return RegistryData{};
    case ReadResult::Read: break;
    }
    std::optional<RegistryData> data = RegistryData::parse(text);
    if (!data) {
        corrupt = true;
        return RegistryData{};
    }
    return std::move(*data);
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
    if (keepOldAside) ::rename(path.c_str(), (path + kBadSuffix).c_str());
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

RegistryData read_registry() {
    const std::string path = registry_file_path();
    if (path.empty()) return RegistryData{};
    bool corrupt = false;
    return load(path, corrupt);
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
    bool corrupt = false;
    RegistryData data = load(path, corrupt);
    bool changed = false;
    const LONG result = change(data, changed);
    if (result != ERROR_SUCCESS || !changed) return result;
    const std::string text = data.to_text();
    if (text.size() > kMaxStoreBytes) return ERROR_CANTWRITE;
    return replace_store(directory, path, text, corrupt) ? ERROR_SUCCESS : ERROR_CANTWRITE;
    // The lock goes with its descriptor.
}

}  // namespace platform::system

namespace platform::faults {

void set_registry_fault(RegistryFault fault) { system::g_fault = fault; }

}  // namespace platform::faults
