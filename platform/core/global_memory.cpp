// Movable global memory blocks: a handle that is locked to get its address.
#include "core.h"

#include <cstdlib>
#include <cstring>

namespace vlmr {

struct Global : Object {
  static constexpr Kind kKind = Kind::Global;
  Global() : Object(Kind::Global) {}
  std::vector<uint8_t> bytes;
  int locks = 0;
};

}  // namespace vlmr

using namespace vlmr;

HGLOBAL GlobalAlloc(UINT, size_t bytes) {
  auto g = std::make_unique<Global>();
  g->bytes.assign(bytes, 0);  // always zeroed: callers may rely on GMEM_ZEROINIT
  return reinterpret_cast<HGLOBAL>(add_object(std::move(g)));
}

HGLOBAL GlobalReAlloc(HGLOBAL memory, size_t bytes, UINT flags) {
  Global* g = find<Global>(memory);
  if (!g) return nullptr;
  if (g->locks && !(flags & GMEM_MOVEABLE)) return nullptr;
  g->bytes.resize(bytes, 0);
  return memory;
}

LPVOID GlobalLock(HGLOBAL memory) {
  Global* g = find<Global>(memory);
  if (!g) return nullptr;
  ++g->locks;
  // A zero-size block still answers a distinct address.
  if (g->bytes.empty()) g->bytes.reserve(1);
  return g->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  Global* g = find<Global>(memory);
  if (!g || g->locks == 0) return FALSE;
  --g->locks;
  return g->locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  if (!find<Global>(memory)) return memory;
  remove_object(memory);
  return nullptr;
}

size_t GlobalSize(HGLOBAL memory) {
  Global* g = find<Global>(memory);
  return g ? g->bytes.size() : 0;
}
