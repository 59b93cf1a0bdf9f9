// What the daemon keeps from one command to the next: the keys and buttons a client holds down,
// and what makes the next command cheaper (the screen capture's bitmaps, the encoder's buffers,
// the picture searches' buffers, the threads that help read a window's controls).
#pragma once

#include "daemon/held_inputs.h"
#include "base/geometry.h"
#include "base/helper_threads.h"
#include "image/png_decoder.h"
#include "image/png_encoder.h"
#include "screen/capture.h"

#include <cstdint>
#include <string>
#include <vector>

struct DaemonState {
    HeldInputs held;            // keys and buttons put down and not yet let go
    ScreenCapture screenshots;  // the last screenshot's size, kept for the next
    ScreenCapture pixels;       // one pixel, kept apart so that pixel polls do not evict it
    ScreenCapture searches;     // the region a picture search or a wait last looked at
    std::vector<std::uint8_t> settled;  // the region a settling wait saw last, row after row
    std::vector<std::uint8_t> fileBytes;  // the last template's PNG
    DecodedImage decoded;                 // and its pixels
    std::vector<Point> matches;           // the last search for every match
    std::vector<std::uint8_t> scaled;     // the last screenshot fitted to a size
    std::vector<std::uint64_t> scaleWork;  // and the sums in between
    PngEncoder encoder;
    std::string text;  // the base64 text of the last picture
    // Three threads beside the command thread share a control listing's calls to the system and
    // messages to the program (measured under Wine, 62 controls: 31 ms on one thread, 23 with
    // one helper, 19 with two, 18 with three).
    HelperThreads controlReaders{3};
};
