// Stream buffers straight over the process's standard file descriptors. The daemon answers one
// short line at a time and flushes each; these keep that to one copy and one write call, with
// none of a file buffer's conversion and locale machinery in between.
#pragma once

#include <streambuf>

// Reads a descriptor in large blocks; end of input or a read error ends the stream.
class FdInBuf : public std::streambuf {
   public:
    explicit FdInBuf(int fd) : fd_(fd) {}

   protected:
    int_type underflow() override;

   private:
    int fd_;
    char buffer_[1 << 16];
};

// Gathers output until a flush, then hands it to the descriptor in as few writes as it takes.
// Write errors are ignored: what could not be written is dropped and the stream stays usable.
class FdOutBuf : public std::streambuf {
   public:
    explicit FdOutBuf(int fd);
    // Whether a write has failed for good (the reader is gone): the client sees no more answers.
    bool Broken() const { return broken_; }
    ~FdOutBuf() override;
    FdOutBuf(const FdOutBuf&) = delete;
    FdOutBuf& operator=(const FdOutBuf&) = delete;

   protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

   private:
    void WriteAll(const char* data, std::size_t size);
    void Drain();

    int fd_;
    bool broken_ = false;
    char buffer_[1 << 14];
};
