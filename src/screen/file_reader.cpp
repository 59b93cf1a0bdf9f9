#include "screen/file_reader.h"

#include "base/utf16.h"

#include <algorithm>

namespace {

DWORD LastErrorOr(DWORD fallback) {
    const DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

}  // namespace

DWORD ReadWholeFile(std::string_view path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (path.empty()) return ERROR_PATH_NOT_FOUND;
    const std::vector<WCHAR> wide = Utf8ToUtf16<WCHAR>(path);
    SetLastError(0);
    HANDLE file = CreateFileW(wide.data(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastErrorOr(ERROR_FILE_NOT_FOUND);
    DWORD error = 0;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        error = LastErrorOr(ERROR_INVALID_HANDLE);
    } else if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > kMostFileBytes) {
        error = ERROR_FILE_TOO_LARGE;
    } else {
        // Read to the end rather than to the size: the file may change under us.
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t done = 0;
        while (error == 0) {
            if (done == bytes.size()) {
                if (bytes.size() >= kMostFileBytes) break;
                bytes.resize(std::min<std::size_t>(bytes.size() + 4096, kMostFileBytes));
            }
            DWORD got = 0;
            SetLastError(0);
            if (!ReadFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr)) {
                error = LastErrorOr(ERROR_INVALID_HANDLE);
            } else if (got == 0) {
                break;
            }
            done += got;
        }
        bytes.resize(done);
    }
    CloseHandle(file);
    if (error != 0) bytes.clear();
    return error;
}
