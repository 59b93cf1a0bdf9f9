#include "screen/file_writer.h"

#include "base/utf16.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

DWORD LastErrorOr(DWORD fallback) {
    const DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

}  // namespace

DWORD WriteWholeFile(std::string_view path, std::span<const std::uint8_t> bytes) {
    if (path.empty()) return ERROR_PATH_NOT_FOUND;
    // Beside the target, so that the rename stays on one volume and replaces it in one step; the
    // process id keeps two daemons writing the same file apart.
    const std::string temporary = std::string(path) + ".marlet-" + std::to_string(GetCurrentProcessId()) + ".tmp";
    const std::vector<WCHAR> wideTarget = Utf8ToUtf16<WCHAR>(path);
    const std::vector<WCHAR> wideTemporary = Utf8ToUtf16<WCHAR>(temporary);
    SetLastError(0);
    HANDLE file =
        CreateFileW(wideTemporary.data(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrorOr(ERROR_PATH_NOT_FOUND);
    DWORD error = 0;
    std::size_t done = 0;
    while (done < bytes.size() && error == 0) {
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        SetLastError(0);
        if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) {
            error = LastErrorOr(ERROR_DISK_FULL);
        }
        done += written;
    }
    if (!CloseHandle(file) && error == 0) error = LastErrorOr(ERROR_DISK_FULL);
    SetLastError(0);
    if (error == 0 &&
        !MoveFileExW(wideTemporary.data(), wideTarget.data(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = LastErrorOr(ERROR_ACCESS_DENIED);
    }
    if (error != 0) DeleteFileW(wideTemporary.data());
    return error;
}
