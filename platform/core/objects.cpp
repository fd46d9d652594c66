// The handle table: every window, device context, GDI object, rendering
// context and memory block is an entry here, found by its handle value.
// Values come from a counter and are never reused, so a stale handle is
// refused instead of reaching a newer object.
#include "core.h"

#include <unordered_map>

namespace vlmr {
namespace {

struct Table {
  std::unordered_map<uintptr_t, std::unique_ptr<Object>> objects;
  uintptr_t next = 0x1000;
};

Table& table() {
  static Table t;
  return t;
}

bool counted(const Object& o) {
  if (o.stock) return false;
  switch (o.kind) {
    case Kind::Dc: {
      const auto& dc = static_cast<const Dc&>(o);
      return dc.memory || dc.screen;
    }
    case Kind::Bitmap:
    case Kind::Palette:
    case Kind::Region:
    case Kind::Font:
    case Kind::Brush:
      return true;
    default:
      return false;
  }
}

}  // namespace

uintptr_t add_object(std::unique_ptr<Object> object) {
  Table& t = table();
  uintptr_t h = t.next;
  t.next += 4;
  object->handle = h;
  t.objects.emplace(h, std::move(object));
  return h;
}

Object* find_object(const void* handle) {
  if (!handle) return nullptr;
  Table& t = table();
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == t.objects.end() ? nullptr : it->second.get();
}

void remove_object(const void* handle) {
  table().objects.erase(reinterpret_cast<uintptr_t>(handle));
}

int live_gdi_objects() {
  int n = 0;
  for (const auto& [h, o] : table().objects)
    if (counted(*o)) ++n;
  return n;
}

}  // namespace vlmr

int VlmrGdiObjectCount() { return vlmr::live_gdi_objects(); }
