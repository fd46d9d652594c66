// The start-up, frame loop and shutdown that the three demonstration programs
// share. A program hands in its window title and its two top-level routines:
// the one-time list building and the per-frame drawing (each program's own
// source calls its remaining routines from these two).
#pragma once

#include <cstdint>
#include <string>

namespace skeleton {

using Routine = void (*)();
// One line describing the program's state after a frame, for VELMORA_TRACE.
using StateLine = std::string (*)();

struct Program {
  const char* title;
  Routine create_list;  // OPENGL_CREATELIST
  Routine draw;         // OPENGL_DRAW
  StateLine state = nullptr;
};

// Opens the 800 by 600 window, builds the program's lists, runs frames until
// the window closes (Escape or the close button), shuts down; returns the
// process exit code, 0.
int run(const Program& program);

// The 2D overlay of the programs that show help: the overlay projection, the
// light placed in overlay coordinates, three grey help lines from (x, y) down
// in steps of 16, and back to the perspective projection.
void help_overlay(int32_t x, int32_t y, const char* line1, const char* line2, const char* line3);

}  // namespace skeleton
