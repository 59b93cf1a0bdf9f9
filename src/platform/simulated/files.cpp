// The simulated file services: real files under the host's paths, with failures to inject.
#include "platform/simulated/desktop.h"
#include "platform/simulated/shared.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {
namespace {

// Unix descriptors behind file handles, offset so that no handle is null or INVALID_HANDLE_VALUE.
struct OpenFile {
    int fd;
    std::int64_t written;
};

DWORD ErrnoToError(int e) {
    switch (e) {
        case ENOENT: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS: return ERROR_ACCESS_DENIED;
        case ENOSPC: return ERROR_DISK_FULL;
        default: return ERROR_INVALID_PARAMETER;
    }
}

}  // namespace
}  // namespace sim

using sim::Desktop;

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD, void*, DWORD dwCreationDisposition, DWORD,
                          HANDLE) {
    Desktop& d = sim::State();
    const std::string path = sim::FromWide(lpFileName);
    if (d.filesClosed) {
        d.lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    if (d.failCreate != 0) {
        d.lastError = std::exchange(d.failCreate, 0);
        return INVALID_HANDLE_VALUE;
    }
    const bool reading = dwDesiredAccess == GENERIC_READ && dwCreationDisposition == OPEN_EXISTING;
    if (!reading && (dwDesiredAccess != GENERIC_WRITE || dwCreationDisposition != CREATE_ALWAYS)) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    const int fd = reading ? ::open(path.c_str(), O_RDONLY | O_CLOEXEC)
                           : ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        // Windows tells a missing file from a missing folder; a missing file is what a reader meets.
        d.lastError = reading && errno == ENOENT ? ERROR_FILE_NOT_FOUND : sim::ErrnoToError(errno);
        return INVALID_HANDLE_VALUE;
    }
    if (reading) {
        // A folder opens on Unix but not on Windows.
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            d.lastError = ERROR_ACCESS_DENIED;
            return INVALID_HANDLE_VALUE;
        }
        return reinterpret_cast<HANDLE>(new sim::OpenFile{fd, 0});
    }
    d.filesCreated.push_back(path);
    return reinterpret_cast<HANDLE>(new sim::OpenFile{fd, 0});
}

BOOL WINAPI WriteFile(HANDLE hFile, const void* lpBuffer, DWORD n, DWORD* written, void*) {
    Desktop& d = sim::State();
    auto* file = reinterpret_cast<sim::OpenFile*>(hFile);
    if (written != nullptr) *written = 0;
    if (file == nullptr || hFile == INVALID_HANDLE_VALUE) {
        d.lastError = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    DWORD allowed = n;
    if (d.failWriteAt >= 0 && file->written + n > d.failWriteAt) {
        allowed = static_cast<DWORD>(std::max<std::int64_t>(d.failWriteAt - file->written, 0));
    }
    const auto* bytes = static_cast<const char*>(lpBuffer);
    DWORD done = 0;
    while (done < allowed) {
        const ssize_t k = ::write(file->fd, bytes + done, allowed - done);
        if (k <= 0) {
            d.lastError = sim::ErrnoToError(errno);
            return FALSE;
        }
        done += static_cast<DWORD>(k);
    }
    file->written += done;
    if (written != nullptr) *written = done;
    if (allowed < n) {
        d.lastError = d.failWriteError;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI ReadFile(HANDLE hFile, void* lpBuffer, DWORD n, DWORD* read, void*) {
    auto* file = reinterpret_cast<sim::OpenFile*>(hFile);
    if (read != nullptr) *read = 0;
    if (file == nullptr || hFile == INVALID_HANDLE_VALUE) {
        sim::State().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    const ssize_t k = ::read(file->fd, lpBuffer, n);
    if (k < 0) {
        sim::State().lastError = sim::ErrnoToError(errno);
        return FALSE;
    }
    if (read != nullptr) *read = static_cast<DWORD>(k);
    return TRUE;
}

BOOL WINAPI GetFileSizeEx(HANDLE hFile, LARGE_INTEGER* lpFileSize) {
    auto* file = reinterpret_cast<sim::OpenFile*>(hFile);
    struct stat st {};
    if (file == nullptr || hFile == INVALID_HANDLE_VALUE || ::fstat(file->fd, &st) != 0) {
        sim::State().lastError = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    lpFileSize->QuadPart = st.st_size;
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (sim::CloseThreadHandle(hObject) || sim::CloseProcessHandle(hObject)) return TRUE;
    auto* file = reinterpret_cast<sim::OpenFile*>(hObject);
    if (file == nullptr || hObject == INVALID_HANDLE_VALUE) return FALSE;
    ::close(file->fd);
    delete file;
    return TRUE;
}

BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    Desktop& d = sim::State();
    if (d.failMove != 0) {
        d.lastError = std::exchange(d.failMove, 0);
        return FALSE;
    }
    if (!(flags & MOVEFILE_REPLACE_EXISTING) || ::rename(sim::FromWide(from).c_str(), sim::FromWide(to).c_str()) != 0) {
        d.lastError = (flags & MOVEFILE_REPLACE_EXISTING) ? sim::ErrnoToError(errno) : ERROR_ACCESS_DENIED;
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    if (::unlink(sim::FromWide(lpFileName).c_str()) != 0) {
        sim::State().lastError = sim::ErrnoToError(errno);
        return FALSE;
    }
    return TRUE;
}
