// The stream buffers over descriptors, against real pipes.
#include "protocol/fd_stream.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>
#include <unistd.h>

#include <csignal>
#include <istream>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        read = fds[0];
        write = fds[1];
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    void CloseRead() {
        if (read >= 0) close(read);
        read = -1;
    }
    void CloseWrite() {
        if (write >= 0) close(write);
        write = -1;
    }
};

// Everything the pipe carries until its write end closes, read on a thread of its own so that
// writes larger than the pipe holds do not block.
std::string Drain(int fd) {
    std::string all;
    char chunk[4096];
    ssize_t n = 0;
    while ((n = read(fd, chunk, sizeof chunk)) > 0) all.append(chunk, static_cast<std::size_t>(n));
    return all;
}

// How many bytes wait in the pipe.
int Pending(int fd) {
    int n = -1;
    EXPECT_EQ(ioctl(fd, FIONREAD, &n), 0);
    return n;
}

}  // namespace

TEST(FdOutBuf, NothingLeavesBeforeAFlushAndEverythingLeavesInOrder) {
    Pipe p;
    std::string received;
    std::thread reader;
    {
        FdOutBuf buffer(p.write);
        std::ostream out(&buffer);
        out << "first\n";
        EXPECT_EQ(Pending(p.read), 0);
        out.flush();
        EXPECT_EQ(Pending(p.read), 6);
        reader = std::thread([&] { received = Drain(p.read); });
        const std::string big(100000, 'x');  // larger than the buffer: written straight through
        out << "second " << big << '\n';
        out << std::string(20000, 'y') << '\n';  // fills the buffer past its end
        out << "last";                           // left buffered: written when the buffer goes
    }
    p.CloseWrite();
    reader.join();
    EXPECT_EQ(received, "first\nsecond " + std::string(100000, 'x') + "\n" + std::string(20000, 'y') + "\nlast");
}

TEST(FdOutBuf, WhatAGoneReaderMissedIsDroppedAndLaterLinesStillGoOut) {
    std::signal(SIGPIPE, SIG_IGN);  // as the daemon does
    Pipe gone;
    gone.CloseRead();
    const int fd = dup(gone.write);
    FdOutBuf buffer(fd);
    std::ostream out(&buffer);
    out << std::string(50000, 'z') << '\n' << std::flush;  // every write fails
    out << "short\n" << std::flush;
    // The descriptor now leads to a reader again: only what is written from here on arrives,
    // nothing of what failed is kept and sent again.
    Pipe fresh;
    ASSERT_EQ(dup2(fresh.write, fd), fd);
    out << "more\n" << std::flush;
    close(fd);
    fresh.CloseWrite();
    EXPECT_EQ(Drain(fresh.read), "more\n");
}

TEST(FdInBuf, LinesSplitAcrossReadsAndAFinalLineWithoutNewline) {
    Pipe p;
    // Lines that straddle the 64 KiB reads, and a last one that input ends in the middle of.
    std::vector<std::string> lines;
    std::string data;
    for (int i = 0; i < 3000; ++i) {
        lines.push_back(std::string(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26)) +
                        std::to_string(i));
        data += lines.back() + '\n';
    }
    data += "unterminated";
    std::thread writer([&] {
        for (std::size_t at = 0; at < data.size();) {
            // Odd-sized pieces, so that reads end in the middle of lines.
            const ssize_t n = write(p.write, data.data() + at, std::min<std::size_t>(777, data.size() - at));
            ASSERT_GT(n, 0);
            at += static_cast<std::size_t>(n);
        }
        p.CloseWrite();
    });
    FdInBuf buffer(p.read);
    std::istream in(&buffer);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(in, line, '\n')) got.push_back(line);
    writer.join();
    lines.push_back("unterminated");
    EXPECT_EQ(got, lines);
}
