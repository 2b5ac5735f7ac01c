#include "platform/system/files.h"

#include "platform/base/text_convert.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <unordered_set>

namespace platform {
namespace {

// A file opened for reading only reads ahead into a buffer of its own, so
// that a reader taking a file in many small pieces (a length byte, then a
// block of data) costs a copy per piece rather than a system call.
constexpr std::size_t kReadAhead = 64 * 1024;

struct FileObject {
    int fd = -1;
    std::unique_ptr<char[]> buffer;  // kReadAhead bytes on a read-only handle
    std::int64_t bufferStart = 0;    // file offset of buffer[0]; the descriptor stands at bufferStart + bufferEnd
    std::size_t bufferPos = 0;       // next byte to hand out
    std::size_t bufferEnd = 0;       // bytes held

    std::int64_t position() const { return bufferStart + static_cast<std::int64_t>(bufferPos); }
    void drop_buffer(std::int64_t descriptorOffset) {
        bufferStart = descriptorOffset;
        bufferPos = bufferEnd = 0;
    }
};

// Handles are checked against the set of live ones, so a stale or foreign
// handle is refused instead of being dereferenced.
std::unordered_set<FileObject*>& live_files() {
    static std::unordered_set<FileObject*> files;
    return files;
}

FileObject* lookup(HANDLE h) {
    auto* f = static_cast<FileObject*>(h);
    if (h == nullptr || h == INVALID_HANDLE_VALUE || live_files().count(f) == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return f;
}

DWORD error_from_errno(int e) {
    switch (e) {
        case ENOENT:
        case ENOTDIR:
            return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

}  // namespace

int open_file_count() { return static_cast<int>(live_files().size()); }

}  // namespace platform

HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/,
                   SECURITY_ATTRIBUTES* /*securityAttributes*/, DWORD creationDisposition,
                   DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
    if (fileName == nullptr || fileName[0] == 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    // Without O_NONBLOCK, opening a named pipe waits for a writer, forever
    // when there is none; a regular file ignores the flag.
    int flags = O_CLOEXEC | O_NONBLOCK;
    bool read = desiredAccess & GENERIC_READ;
    bool write = desiredAccess & GENERIC_WRITE;
    flags |= (read && write) ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (creationDisposition) {
        case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
        case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
        case OPEN_EXISTING: break;
        case OPEN_ALWAYS: flags |= O_CREAT; break;
        case TRUNCATE_EXISTING: flags |= O_TRUNC; break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
    }
    std::string path = platform::to_utf8(fileName);
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        // ENXIO: a pipe opened for writing with no reader, no file either.
        SetLastError(errno == ENXIO ? ERROR_FILE_NOT_FOUND : platform::error_from_errno(errno));
        return INVALID_HANDLE_VALUE;
    }
    // Only regular files are files here: a pipe, a device or a directory
    // fails as a missing file does.
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto* f = new platform::FileObject;
    f->fd = fd;
    // Left uninitialised: reads fill it before anything looks at it.
    if (!write) f->buffer.reset(new char[platform::kReadAhead]);
    platform::live_files().insert(f);
    return f;
}

DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh) {
    platform::FileObject* f = platform::lookup(file);
    struct stat st;
    if (f == nullptr || ::fstat(f->fd, &st) != 0) return INVALID_FILE_SIZE;
    auto size = static_cast<std::uint64_t>(st.st_size);
    if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
              OVERLAPPED* /*overlapped*/) {
    if (bytesRead) *bytesRead = 0;
    platform::FileObject* f = platform::lookup(file);
    if (f == nullptr) return FALSE;
    auto* out = static_cast<char*>(buffer);
    DWORD total = 0;
    while (total < bytesToRead) {
        if (f->bufferPos < f->bufferEnd) {
            const std::size_t n = std::min<std::size_t>(f->bufferEnd - f->bufferPos, bytesToRead - total);
            std::memcpy(out + total, f->buffer.get() + f->bufferPos, n);
            f->bufferPos += n;
            total += static_cast<DWORD>(n);
            continue;
        }
        // Small reads refill the buffer; large ones, and every read of a
        // handle without a buffer, go straight to the caller's memory.
        const bool refill = f->buffer && bytesToRead - total < platform::kReadAhead;
        const std::int64_t offset = f->bufferStart + static_cast<std::int64_t>(f->bufferEnd);
        ssize_t n = refill ? ::read(f->fd, f->buffer.get(), platform::kReadAhead)
                           : ::read(f->fd, out + total, bytesToRead - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(platform::error_from_errno(errno));
            if (bytesRead) *bytesRead = total;
            return FALSE;
        }
        if (n == 0) break;
        if (refill) {
            f->bufferStart = offset;
            f->bufferPos = 0;
            f->bufferEnd = static_cast<std::size_t>(n);
        } else {
            f->drop_buffer(offset + n);
            total += static_cast<DWORD>(n);
        }
    }
    if (bytesRead) *bytesRead = total;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
               OVERLAPPED* /*overlapped*/) {
    if (bytesWritten) *bytesWritten = 0;
    platform::FileObject* f = platform::lookup(file);
    if (f == nullptr) return FALSE;
    const auto* in = static_cast<const char*>(buffer);
    DWORD total = 0;
    while (total < bytesToWrite) {
        ssize_t n = ::write(f->fd, in + total, bytesToWrite - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(platform::error_from_errno(errno));
            if (bytesWritten) *bytesWritten = total;
            return FALSE;
        }
        total += static_cast<DWORD>(n);
    }
    if (bytesWritten) *bytesWritten = total;
    return TRUE;
}

DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    platform::FileObject* f = platform::lookup(file);
    if (f == nullptr) return INVALID_SET_FILE_POINTER;
    std::int64_t offset = distanceHigh
                              ? static_cast<std::int64_t>((static_cast<std::uint64_t>(static_cast<DWORD>(*distanceHigh)) << 32) |
                                                          static_cast<DWORD>(distance))
                              : static_cast<std::int64_t>(distance);
    int whence = moveMethod == FILE_BEGIN ? SEEK_SET : moveMethod == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    if (f->buffer && whence == SEEK_CUR) {
        // A move within what is buffered costs nothing; any other is made
        // from the reader's position, not the descriptor's.
        const std::int64_t target = static_cast<std::int64_t>(f->bufferPos) + offset;
        if (target >= 0 && target <= static_cast<std::int64_t>(f->bufferEnd)) {
            f->bufferPos = static_cast<std::size_t>(target);
            const std::int64_t pos = f->position();
            if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(pos) >> 32);
            return static_cast<DWORD>(pos);
        }
        offset += f->position();
        whence = SEEK_SET;
    }
    off_t pos = ::lseek(f->fd, offset, whence);
    if (pos < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (f->buffer) f->drop_buffer(pos);
    if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<std::uint64_t>(pos) >> 32);
    return static_cast<DWORD>(pos);
}

BOOL CloseHandle(HANDLE object) {
    platform::FileObject* f = platform::lookup(object);
    if (f == nullptr) return FALSE;
    platform::live_files().erase(f);
    ::close(f->fd);
    delete f;
    return TRUE;
}
