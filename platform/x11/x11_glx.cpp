// GLX: the configurations behind pixel formats, and compatibility-profile
// rendering contexts.
#include "x11_internal.h"

#include <algorithm>

namespace vlmr::x11 {
namespace {

int attribute(Display* dpy, GLXFBConfig config, int name) {
  int value = 0;
  glXGetFBConfigAttrib(dpy, config, name, &value);
  return value;
}

// Double-buffered RGBA window configurations with at least the given sizes,
// best first: no caveat and no multisampling, then the windows' own visual,
// then a visual as deep as the screen's (a 32-bit visual would be blended by a
// compositor), then GLX's own order.
std::vector<GLXFBConfig> configs(Conn& c, int color, int alpha, int depth, int stencil) {
  const int per_channel = std::clamp(color / 3, 1, 8);
  const int attributes[] = {GLX_X_RENDERABLE, True,
                            GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE, GLX_RGBA_BIT,
                            GLX_X_VISUAL_TYPE, GLX_TRUE_COLOR,
                            GLX_DOUBLEBUFFER, True,
                            GLX_RED_SIZE, per_channel,
                            GLX_GREEN_SIZE, per_channel,
                            GLX_BLUE_SIZE, per_channel,
                            GLX_ALPHA_SIZE, alpha,
                            GLX_DEPTH_SIZE, depth,
                            GLX_STENCIL_SIZE, stencil,
                            None};
  int count = 0;
  GLXFBConfig* found = glXChooseFBConfig(c.dpy, c.screen, attributes, &count);
  std::vector<GLXFBConfig> out(found, found + std::max(count, 0));
  if (found != nullptr) XFree(found);

  const int screen_depth = DefaultDepth(c.dpy, c.screen);
  auto rank = [&](GLXFBConfig f) {
    int r = 0;
    if (attribute(c.dpy, f, GLX_CONFIG_CAVEAT) != GLX_NONE) r += 8;
    if (attribute(c.dpy, f, GLX_SAMPLES) > 0) r += 4;
    if (c.visual_id != 0 && static_cast<VisualID>(attribute(c.dpy, f, GLX_VISUAL_ID)) != c.visual_id)
      r += 2;
    XVisualInfo* vi = glXGetVisualFromFBConfig(c.dpy, f);
    if (vi == nullptr || vi->depth != screen_depth) r += 1;
    if (vi != nullptr) XFree(vi);
    return r;
  };
  std::vector<std::pair<int, GLXFBConfig>> ranked;
  for (GLXFBConfig f : out) ranked.emplace_back(rank(f), f);
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < ranked.size(); ++i) out[i] = ranked[i].second;
  return out;
}

}  // namespace

bool choose_window_config(Conn& c, std::string& error) {
  int major = 0, minor = 0;
  if (!glXQueryVersion(c.dpy, &major, &minor) || major < 1 || (major == 1 && minor < 3)) {
    error = "the X display has no GLX 1.3 (OpenGL on X windows)";
    return false;
  }
  std::vector<GLXFBConfig> found = configs(c, 24, 8, 24, 8);
  if (found.empty()) found = configs(c, 24, 0, 16, 8);
  if (found.empty()) {
    error = "the X display offers no double-buffered RGBA OpenGL visual with depth and 8-bit stencil";
    return false;
  }
  XVisualInfo* vi = glXGetVisualFromFBConfig(c.dpy, found.front());
  if (vi == nullptr) {
    error = "the X display has no visual for its OpenGL configuration";
    return false;
  }
  c.window_config = found.front();
  c.visual = vi->visual;
  c.depth = vi->depth;
  c.visual_id = vi->visualid;
  // The screen's own colormap where the visual is the screen's: a private one
  // would be needless, and screen grabbers take its windows for uninstalled.
  c.own_colormap = vi->visual != DefaultVisual(c.dpy, c.screen);
  c.colormap = c.own_colormap ? XCreateColormap(c.dpy, c.root, vi->visual, AllocNone)
                              : DefaultColormap(c.dpy, c.screen);
  XFree(vi);
  return true;
}

int choose_format(Conn& c, const PIXELFORMATDESCRIPTOR& pfd) {
  if (pfd.iPixelType != PFD_TYPE_RGBA) return 0;
  // The nearest configuration, as Win32 chooses: always double-buffered with
  // an 8-bit stencil; colour channels, alpha and depth as asked but no more
  // than 8, 8 and 24 bits (a descriptor may ask 32 of each).
  std::vector<GLXFBConfig> found =
      configs(c, pfd.cColorBits ? pfd.cColorBits : 24, std::min<int>(pfd.cAlphaBits, 8),
              std::clamp<int>(pfd.cDepthBits, 16, 24), 8);
  if (found.empty()) found = configs(c, 24, 0, 16, 8);
  if (found.empty()) return 0;
  GLXFBConfig best = found.front();
  auto known = std::find(c.formats.begin(), c.formats.end(), best);
  if (known == c.formats.end()) {
    c.formats.push_back(best);
    known = c.formats.end() - 1;
  }
  return static_cast<int>(known - c.formats.begin()) + 1;
}

GlContext* create_gl_context(Conn& c, GLXFBConfig config) {
  using CreateContextAttribs =
      GLXContext (*)(Display*, GLXFBConfig, GLXContext, Bool, const int*);
  static const auto create_attribs = reinterpret_cast<CreateContextAttribs>(
      glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCreateContextAttribsARB")));
  const char* extensions = glXQueryExtensionsString(c.dpy, c.screen);
  const bool has_profiles = extensions != nullptr &&
                            std::string_view(extensions).find("GLX_ARB_create_context_profile") !=
                                std::string_view::npos;
  GLXContext context = nullptr;
  if (create_attribs != nullptr && has_profiles) {
    // A compatibility profile, so GL 1.x immediate mode and display lists work.
    const int attributes[] = {GLX_CONTEXT_PROFILE_MASK_ARB,
                              GLX_CONTEXT_COMPATIBILITY_PROFILE_BIT_ARB, None};
    context = create_attribs(c.dpy, config, nullptr, True, attributes);
    XSync(c.dpy, False);  // a refusal arrives as a protocol error, already ignored
  }
  if (context == nullptr) {
    context = glXCreateNewContext(c.dpy, config, GLX_RGBA_TYPE, nullptr, True);
  }
  if (context == nullptr) return nullptr;
  return new GlContext{context, config};
}

}  // namespace vlmr::x11
