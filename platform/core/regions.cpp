// Regions: banded rectangle sets on pixman.
#include "core.h"

#include <pixman.h>

#include <algorithm>

namespace vlmr {

struct Region : Object {
  static constexpr Kind kKind = Kind::Region;
  Region() : Object(Kind::Region) { pixman_region32_init(&r); }
  ~Region() override { pixman_region32_fini(&r); }
  pixman_region32_t r;
};

namespace {

HRGN new_region(Region** out) {
  auto reg = std::make_unique<Region>();
  *out = reg.get();
  return to_handle<HRGN>(add_object(std::move(reg)));
}

int complexity(const pixman_region32_t& r) {
  int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(&r));
  return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

}  // namespace
}  // namespace vlmr

using namespace vlmr;

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  Region* reg;
  HRGN h = new_region(&reg);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left < right && top < bottom)
    pixman_region32_init_rect(&reg->r, left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top));
  return h;
}

HRGN ExtCreateRegion(const XFORM* xform, DWORD count, const RGNDATA* data) {
  if (xform || !data || count < sizeof(RGNDATAHEADER)) return nullptr;
  const RGNDATAHEADER& h = data->rdh;
  if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
  if (static_cast<uint64_t>(h.nCount) * sizeof(RECT) > count - sizeof(RGNDATAHEADER))
    return nullptr;
  Region* reg;
  HRGN out = new_region(&reg);
  const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
  std::vector<pixman_box32_t> boxes;
  boxes.reserve(h.nCount);
  for (DWORD i = 0; i < h.nCount; ++i) {
    const RECT& rc = rects[i];
    if (rc.left < rc.right && rc.top < rc.bottom)
      boxes.push_back(pixman_box32_t{rc.left, rc.top, rc.right, rc.bottom});
  }
  // Rectangles may overlap or come in any order: pixman sorts them into bands.
  pixman_region32_fini(&reg->r);
  if (!pixman_region32_init_rects(&reg->r, boxes.data(), static_cast<int>(boxes.size()))) {
    pixman_region32_init(&reg->r);
    remove_object(out);
    return nullptr;
  }
  return out;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  Region* d = find<Region>(dest);
  Region* a = find<Region>(src1);
  Region* b = mode == RGN_COPY ? a : find<Region>(src2);
  if (!d || !a || !b) return RGN_ERROR;
  pixman_region32_t result;
  pixman_region32_init(&result);
  switch (mode) {
    case RGN_AND: pixman_region32_intersect(&result, &a->r, &b->r); break;
    case RGN_OR: pixman_region32_union(&result, &a->r, &b->r); break;
    case RGN_DIFF: pixman_region32_subtract(&result, &a->r, &b->r); break;
    case RGN_XOR: {
      pixman_region32_t ab, ba;
      pixman_region32_init(&ab);
      pixman_region32_init(&ba);
      pixman_region32_subtract(&ab, &a->r, &b->r);
      pixman_region32_subtract(&ba, &b->r, &a->r);
      pixman_region32_union(&result, &ab, &ba);
      pixman_region32_fini(&ab);
      pixman_region32_fini(&ba);
      break;
    }
    case RGN_COPY: pixman_region32_copy(&result, &a->r); break;
    default:
      pixman_region32_fini(&result);
      return RGN_ERROR;
  }
  pixman_region32_copy(&d->r, &result);
  pixman_region32_fini(&result);
  return complexity(d->r);
}

BOOL PtInRegion(HRGN region, int x, int y) {
  Region* r = find<Region>(region);
  if (!r) return FALSE;
  return pixman_region32_contains_point(&r->r, x, y, nullptr) ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, RECT* box) {
  Region* r = find<Region>(region);
  if (!r || !box) return RGN_ERROR;
  const pixman_box32_t* e = pixman_region32_extents(&r->r);
  if (pixman_region32_n_rects(&r->r) == 0) *box = RECT{0, 0, 0, 0};
  else *box = RECT{e->x1, e->y1, e->x2, e->y2};
  return complexity(r->r);
}

DWORD GetRegionData(HRGN region, DWORD count, RGNDATA* data) {
  Region* r = find<Region>(region);
  if (!r) return 0;
  int n = 0;
  const pixman_box32_t* boxes = pixman_region32_rectangles(&r->r, &n);
  DWORD need = static_cast<DWORD>(sizeof(RGNDATAHEADER) + sizeof(RECT) * static_cast<size_t>(n));
  if (!data) return need;
  if (count < need) return 0;
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(n);
  data->rdh.nRgnSize = static_cast<DWORD>(sizeof(RECT) * static_cast<size_t>(n));
  RECT box;
  GetRgnBox(region, &box);
  data->rdh.rcBound = box;
  RECT* out = reinterpret_cast<RECT*>(data->Buffer);
  for (int i = 0; i < n; ++i) out[i] = RECT{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
  return need;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  Region* ra = find<Region>(a);
  Region* rb = find<Region>(b);
  if (!ra || !rb) return FALSE;
  return pixman_region32_equal(&ra->r, &rb->r) ? TRUE : FALSE;
}
