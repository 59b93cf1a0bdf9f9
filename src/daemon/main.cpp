// marlet: a GUI automation daemon driven one command line at a time over standard input.
#include "daemon/command_loop.h"

#include <iostream>

#ifndef _WIN32
#include <csignal>
#endif

int main() {
#ifndef _WIN32
    // A client that closes its end early must not kill the daemon: write errors are ignored.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    std::ios::sync_with_stdio(false);
    return RunDaemon(std::cin, std::cout, std::cerr);
}
