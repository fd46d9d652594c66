// Placeholder until the X11 backend lands: reports that it cannot start.
#include "core.h"

namespace vlmr {
std::unique_ptr<Backend> make_x11_backend() { return nullptr; }
}  // namespace vlmr
