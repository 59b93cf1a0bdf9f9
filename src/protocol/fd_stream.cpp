#include "protocol/fd_stream.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// One read or write call; negative on error. The C runtime's text mode, where it has one,
// applies as it would to any stream on the descriptor.
long ReadSome(int fd, char* data, std::size_t size) {
#ifdef _WIN32
    return _read(fd, data, static_cast<unsigned>(size));
#else
    return static_cast<long>(read(fd, data, size));
#endif
}

long WriteSome(int fd, const char* data, std::size_t size) {
#ifdef _WIN32
    return _write(fd, data, static_cast<unsigned>(size));
#else
    return static_cast<long>(write(fd, data, size));
#endif
}

// Large writes go out in pieces a 32-bit count can hold.
constexpr std::size_t kLargestCall = std::size_t{1} << 30;

}  // namespace

FdInBuf::int_type FdInBuf::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    long n = 0;
    do {
        n = ReadSome(fd_, buffer_, sizeof buffer_);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return traits_type::eof();
    setg(buffer_, buffer_, buffer_ + n);
    return traits_type::to_int_type(*gptr());
}

FdOutBuf::FdOutBuf(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }

FdOutBuf::~FdOutBuf() { Drain(); }

FdOutBuf::int_type FdOutBuf::overflow(int_type ch) {
    Drain();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

std::streamsize FdOutBuf::xsputn(const char* s, std::streamsize n) {
    const auto size = static_cast<std::size_t>(n);
    if (size <= static_cast<std::size_t>(epptr() - pptr())) {
        std::memcpy(pptr(), s, size);
        pbump(static_cast<int>(n));
        return n;
    }
    // Too big for what is left: what is buffered goes first, then the piece itself, unless
    // it fits an empty buffer.
    Drain();
    if (size <= sizeof buffer_) {
        std::memcpy(pptr(), s, size);
        pbump(static_cast<int>(n));
    } else {
        WriteAll(s, size);
    }
    return n;
}

int FdOutBuf::sync() {
    Drain();
    return 0;
}

void FdOutBuf::Drain() {
    WriteAll(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(buffer_, buffer_ + sizeof buffer_);
}

void FdOutBuf::WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
        const long n = WriteSome(fd_, data, size < kLargestCall ? size : kLargestCall);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            broken_ = true;
            return;  // the reader is gone or the descriptor is bad: drop the rest
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}
