// marlet: a GUI automation daemon driven one command line at a time over standard input.
#include "daemon/command_loop.h"
#include "protocol/fd_stream.h"

#include <iostream>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <csignal>
#endif

int main() {
#ifdef _WIN32
    // Commands are read in binary mode: the text mode would end the input at a Ctrl+Z byte
    // (0x1A), and every byte must reach the tokenizer (a CR before the LF is trimmed there).
    // Answers keep the text mode and its CR LF line ends.
    _setmode(0, _O_BINARY);
#else
    // A client that closes its end early must not kill the daemon: write errors are ignored.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::ios::sync_with_stdio(false);
    // Commands and answers go straight to the descriptors; the buffers live until main returns,
    // after the farewell, and whatever is still buffered is written as they go.
    FdInBuf commands(0);
    FdOutBuf answers(1);
    std::istream in(&commands);
    std::ostream out(&answers);
    return RunDaemon(in, out, std::cerr);
}
