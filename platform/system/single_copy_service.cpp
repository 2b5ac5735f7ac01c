#include "platform/system/single_copy_service.h"

#include "platform/backend/backend.h"
#include "platform/base/text_convert.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace platform::system {
namespace {

int g_lockFd = -1;
int g_listenFd = -1;
bool g_triedToPublish = false;
LocalWindowHooks g_localWindows;

constexpr std::size_t kMaxLine = 2048;

// The directory for the lock and socket: private to the user.
std::string runtime_directory() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir != nullptr && dir[0] == '/') return dir;
    std::string dir = "/tmp/mapfolio-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    struct stat info {};
    // Someone else's directory, or a link planted in its place, is not used.
    if (lstat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid() ||
        (info.st_mode & 077) != 0)
        return {};
    return dir;
}

// The base name of the lock and socket files, or empty when this process
// takes no part.
std::string base_name() {
    if (!backend::current().is_headless()) return "mapfolio";
    const char* desktop = std::getenv("MAPFOLIO_HEADLESS_DESKTOP");
    if (desktop == nullptr || *desktop == '\0' || std::strlen(desktop) > 40) return {};
    for (const char* c = desktop; *c; ++c) {
        bool ok = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') || *c == '-' ||
                  *c == '_';
        if (!ok) return {};
    }
    return std::string("mapfolio-headless-") + desktop;
}

bool socket_address(sockaddr_un& address, std::string* lockPath) {
    std::string base = base_name();
    if (base.empty()) return false;
    std::string dir = runtime_directory();
    if (dir.empty()) return false;
    std::string socketPath = dir + "/" + base + ".sock";
    if (socketPath.size() >= sizeof address.sun_path) return false;
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    if (lockPath != nullptr) *lockPath = dir + "/" + base + ".lock";
    return true;
}

void set_timeouts(int fd, int ms) {
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool read_line(int fd, std::string& line) {
    line.clear();
    char c = 0;
    while (line.size() < kMaxLine) {
        ssize_t got = read(fd, &c, 1);
        if (got <= 0) return false;
        if (c == '\n') return true;
        line.push_back(c);
    }
    return false;
}

bool write_all(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t put = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (put <= 0) return false;
        done += static_cast<std::size_t>(put);
    }
    return true;
}

// Names travel as hex of their UTF-8, or "-" for any.
std::string encode(LPCWSTR text) {
    if (text == nullptr) return "-";
    static const char kHex[] = "0123456789abcdef";
    std::string out = "x";
    for (unsigned char c : to_utf8(text)) {
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
    }
    return out;
}

std::optional<std::u16string> decode(const std::string& word, bool& any) {
    any = word == "-";
    if (any) return std::u16string();
    if (word.empty() || word[0] != 'x' || word.size() % 2 != 1) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 1; i + 1 < word.size(); i += 2) {
        auto nibble = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            return -1;
        };
        int high = nibble(word[i]);
        int low = nibble(word[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
    return from_utf8(bytes);
}

std::string answer(const std::string& request) {
    if (request.rfind("FIND ", 0) == 0) {
        std::string rest = request.substr(5);
        std::size_t space = rest.find(' ');
        if (space == std::string::npos) return "BAD\n";
        bool anyClass = false;
        bool anyTitle = false;
        auto cls = decode(rest.substr(0, space), anyClass);
        auto title = decode(rest.substr(space + 1), anyTitle);
        if (!cls || !title) return "BAD\n";
        if (g_localWindows.find == nullptr) return "NONE\n";
        HWND found = g_localWindows.find(anyClass ? nullptr : cls->c_str(), anyTitle ? nullptr : title->c_str());
        if (found == nullptr) return "NONE\n";
        return "WINDOW " + std::to_string(reinterpret_cast<std::uintptr_t>(found)) + "\n";
    }
    if (request.rfind("RAISE ", 0) == 0) {
        char* end = nullptr;
        errno = 0;
        unsigned long long value = std::strtoull(request.c_str() + 6, &end, 10);
        if (errno != 0 || end == request.c_str() + 6 || *end != '\0') return "BAD\n";
        const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
        return g_localWindows.raise != nullptr && g_localWindows.raise(window) ? "OK\n" : "NONE\n";
    }
    return "BAD\n";
}

std::optional<std::string> ask(const std::string& request) {
    sockaddr_un address{};
    if (!socket_address(address, nullptr)) return std::nullopt;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::nullopt;
    set_timeouts(fd, 1000);
    std::string line;
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && write_all(fd, request) &&
              read_line(fd, line);
    close(fd);
    if (!ok) return std::nullopt;
    return line;
}

}  // namespace

void publish_windows() {
    if (g_triedToPublish) return;
    g_triedToPublish = true;
    sockaddr_un address{};
    std::string lockPath;
    if (!socket_address(address, &lockPath)) return;
    int lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (lockFd < 0) return;
    if (flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
        // Another copy answers already.
        close(lockFd);
        return;
    }
    // The lock is ours, so a socket file left there is stale.
    unlink(address.sun_path);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 8) != 0) {
        if (fd >= 0) close(fd);
        close(lockFd);
        return;
    }
    g_lockFd = lockFd;
    g_listenFd = fd;
}

bool publishing() { return g_listenFd >= 0; }

void serve_single_copy_requests() {
    if (g_listenFd < 0) return;
    for (;;) {
        int client = accept4(g_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) return;
        ucred peer{};
        socklen_t length = sizeof peer;
        bool sameUser = getsockopt(client, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == getuid();
        set_timeouts(client, 200);
        std::string request;
        if (sameUser && read_line(client, request)) write_all(client, answer(request));
        close(client);
    }
}

std::optional<std::uintptr_t> ask_find_window(LPCWSTR className, LPCWSTR windowName) {
    if (publishing()) return std::nullopt;
    auto reply = ask("FIND " + encode(className) + " " + encode(windowName) + "\n");
    if (!reply || reply->rfind("WINDOW ", 0) != 0) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(reply->c_str() + 7, &end, 10);
    if (errno != 0 || *end != '\0' || value == 0) return std::nullopt;
    return static_cast<std::uintptr_t>(value);
}

bool ask_raise_window(std::uintptr_t remoteHandle) {
    auto reply = ask("RAISE " + std::to_string(remoteHandle) + "\n");
    return reply && *reply == "OK";
}

void reset_single_copy() {
    if (g_listenFd >= 0) {
        sockaddr_un address{};
        if (socket_address(address, nullptr)) unlink(address.sun_path);
        close(g_listenFd);
    }
    if (g_lockFd >= 0) close(g_lockFd);
    g_listenFd = g_lockFd = -1;
    g_triedToPublish = false;
}

void set_local_window_hooks(const LocalWindowHooks& hooks) { g_localWindows = hooks; }

}  // namespace platform::system
