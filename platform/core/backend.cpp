// Chooses and opens the backend named by VELMORA_PLATFORM (x11 by default).
#include "core.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vlmr {

Backend* backend() {
  // The backend lives until the process ends and is never destroyed: tearing
  // a GL driver down from an exit handler, possibly with a context still
  // current, is not safe, and the system releases everything anyway.
  static Backend* chosen = nullptr;
  static bool tried = false;
  if (tried) return chosen;
  tried = true;

  const char* name = std::getenv("VELMORA_PLATFORM");
  if (!name || !*name) name = "x11";
  std::unique_ptr<Backend> candidate;
  if (std::strcmp(name, "x11") == 0) {
    candidate = make_x11_backend();
  } else if (std::strcmp(name, "headless") == 0) {
    candidate = make_headless_backend();
  } else {
    std::fprintf(stderr,
                 "velmora: unknown platform VELMORA_PLATFORM=%s; choose x11 or headless\n", name);
    return nullptr;
  }
  std::string error;
  if (!candidate || !candidate->open(error)) {
    std::fprintf(stderr, "velmora: the %s platform cannot start: %s\n", name,
                 error.empty() ? "no backend" : error.c_str());
    if (std::strcmp(name, "x11") == 0)
      std::fprintf(stderr,
                   "velmora: to run without a display, set VELMORA_PLATFORM=headless\n");
    return nullptr;
  }
  chosen = candidate.release();
  return chosen;
}

}  // namespace vlmr

const char* VlmrPlatformName() {
  vlmr::Backend* b = vlmr::backend();
  return b ? b->name() : "none";
}
