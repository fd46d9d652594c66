#include "gl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace vlmr_test {
namespace {

[[noreturn]] void fail(const char* step) {
  char code[16];
  snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
  throw std::runtime_error(std::string("GlContext: ") + step + " failed (EGL error " + code + ")");
}

// The surfaceless display is shared by all contexts; it is terminated when
// the last one goes.
int open_contexts = 0;

EGLDisplay surfaceless_display() {
  auto get_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!get_display) fail("eglGetProcAddress(eglGetPlatformDisplayEXT)");
  EGLDisplay display = get_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY) fail("eglGetPlatformDisplayEXT(surfaceless)");
  if (!eglInitialize(display, nullptr, nullptr)) fail("eglInitialize");
  return display;
}

}  // namespace

GlContext::GlContext(int width, int height) : width_(width), height_(height) {
  EGLDisplay display = surfaceless_display();
  display_ = display;
  ++open_contexts;
  try {
    if (!eglBindAPI(EGL_OPENGL_API)) fail("eglBindAPI(EGL_OPENGL_API)");
    const EGLint config_attribs[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 8,
        EGL_DEPTH_SIZE, 24, EGL_STENCIL_SIZE, 8, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (!eglChooseConfig(display, config_attribs, &config, 1, &found) || found < 1)
      fail("eglChooseConfig(RGBA8, depth 24, stencil 8, pbuffer)");
    const EGLint surface_attribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display, config, surface_attribs);
    if (surface_ == EGL_NO_SURFACE) fail("eglCreatePbufferSurface");
    context_ = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context_ == EGL_NO_CONTEXT) fail("eglCreateContext");
    if (!eglMakeCurrent(display, surface_, surface_, context_)) fail("eglMakeCurrent");
  } catch (...) {
    release();
    throw;
  }
}

GlContext::~GlContext() { release(); }

void GlContext::release() {
  if (!display_) return;
  eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (context_) eglDestroyContext(display_, context_);
  if (surface_) eglDestroySurface(display_, surface_);
  context_ = surface_ = nullptr;
  if (--open_contexts == 0) eglTerminate(display_);
  display_ = nullptr;
}

std::vector<uint8_t> GlContext::read_pixels() const {
  std::vector<uint8_t> rgba(static_cast<size_t>(width_) * height_ * 4);
  // Tightly packed rows whatever the test set; its pixel-store state is kept.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  glPixelStorei(GL_PACK_SKIP_ROWS, 0);
  glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
  glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glPopClientAttrib();
  return rgba;
}

}  // namespace vlmr_test
