// Start-up DPI awareness, so that every metric and position is in physical pixels.
#pragma once

// Asks for per-monitor (v2) awareness where the system has it, else for system awareness.
// Reports nothing: whatever the system answers, start-up goes on.
void EnableDpiAwareness();
