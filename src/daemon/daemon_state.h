// What the daemon keeps from one command to the next: the keys and buttons a client holds down,
// and what makes the next command cheaper (the screen capture's bitmaps, the encoder's buffers).
#pragma once

#include "daemon/held_inputs.h"
#include "image/png_encoder.h"
#include "screen/capture.h"

#include <string>

struct DaemonState {
    HeldInputs held;            // keys and buttons put down and not yet let go
    ScreenCapture screenshots;  // the last screenshot's size, kept for the next
    ScreenCapture pixels;       // one pixel, kept apart so that pixel polls do not evict it
    PngEncoder encoder;
    std::string text;  // the base64 text of the last picture
};
