// BMP files turned into textures: the header probe, texel colours and alpha as
// uploaded, padded rows, missing files, fresh names per load, loading inside
// a display list, and the run-time errors.
#include "Velmora.h"
#include "gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Velmora;
namespace fs = std::filesystem;

namespace {

using Rgba = std::array<uint8_t, 4>;

// A distinct colour for every pixel, with an alpha of its own for 32-bit files.
Rgba colour_at(int x, int y) {
  return {static_cast<uint8_t>(20 + 40 * x), static_cast<uint8_t>(30 + 50 * y),
          static_cast<uint8_t>(200 - 30 * x - 7 * y), static_cast<uint8_t>(60 + 25 * x + 9 * y)};
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// A bottom-up BI_RGB file: row y = 0 is stored first, rows padded to 4 bytes.
std::vector<uint8_t> bmp_bytes(int width, int height, int bits) {
  const int stride = (width * bits + 31) / 32 * 4;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  put32(out, 54 + stride * height);
  put32(out, 0);
  put32(out, 54);
  put32(out, 40);
  put32(out, width);
  put32(out, height);
  put16(out, 1);
  put16(out, bits);
  put32(out, 0);
  put32(out, stride * height);
  put32(out, 2835);
  put32(out, 2835);
  put32(out, 0);
  put32(out, 0);
  for (int y = 0; y < height; ++y) {
    size_t row_start = out.size();
    for (int x = 0; x < width; ++x) {
      const Rgba c = colour_at(x, y);
      out.push_back(c[2]);
      out.push_back(c[1]);
      out.push_back(c[0]);
      if (bits == 32) out.push_back(c[3]);
    }
    while (out.size() - row_start < static_cast<size_t>(stride)) out.push_back(0xEE);
  }
  return out;
}

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vlmr_texture_" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  std::string write_bmp(int width, int height, int bits) {
    return write("w" + std::to_string(width) + "h" + std::to_string(height) + "b" +
                     std::to_string(bits) + ".bmp",
                 bmp_bytes(width, height, bits));
  }

  static GLint level0(GLenum what) {
    GLint v = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &v);
    return v;
  }
  static GLint bound() {
    GLint v = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
    return v;
  }
  static GLint parameter(GLenum what) {
    GLint v = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, what, &v);
    return v;
  }

  // Every texel of the bound texture against the picture written to the file,
  // texture row t = 0 being the file's first stored (bottom) row.
  static void expect_texels(int width, int height, bool with_alpha) {
    ASSERT_EQ(level0(GL_TEXTURE_WIDTH), width);
    ASSERT_EQ(level0(GL_TEXTURE_HEIGHT), height);
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint8_t* t = &texels[(static_cast<size_t>(y) * width + x) * 4];
        const Rgba want = colour_at(x, y);
        const Rgba got{t[0], t[1], t[2], t[3]};
        const Rgba expected{want[0], want[1], want[2], with_alpha ? want[3] : uint8_t{255}};
        EXPECT_EQ(got, expected) << "texel " << x << "," << y;
      }
  }

  vlmr_test::GlContext gl_;
  fs::path dir_;
};

struct Picture {
  int width, height, bits;
};

class TextureLoadTest : public TextureTest, public ::testing::WithParamInterface<Picture> {};

// 4 pixels of 24 bits fill their rows exactly; 3 and 5 leave 3 and 1 bytes of
// padding per row; 32-bit rows never pad and carry alpha.
TEST_P(TextureLoadTest, TexelsMatchThePicture) {
  const Picture p = GetParam();
  const std::string file = write_bmp(p.width, p.height, p.bits);
  EXPECT_EQ(GETBMPDEPTH(file.c_str()), p.bits);

  const int gdi_objects = VlmrGdiObjectCount();
  TEXTURELOAD(file.c_str());
  EXPECT_EQ(VlmrGdiObjectCount(), gdi_objects) << "decoded bitmap not released";
  EXPECT_NE(TEXTUREID, 0u);
  EXPECT_EQ(bound(), static_cast<GLint>(TEXTUREID));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
  EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_MIN_FILTER);
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 4);
  expect_texels(p.width, p.height, p.bits == 32);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Depths, TextureLoadTest,
                         ::testing::Values(Picture{4, 3, 24}, Picture{3, 3, 24},
                                           Picture{5, 2, 24}, Picture{3, 2, 32}),
                         [](const auto& info) {
                           return "w" + std::to_string(info.param.width) + "_bits" +
                                  std::to_string(info.param.bits);
                         });

TEST_F(TextureTest, WaterTextureIsClampedAndSwapsPaddedRows) {
  const std::string file = write_bmp(3, 3, 24);
  TEXTUREWATER(file.c_str(), 7);
  EXPECT_NE(TEXTURE_WATER[7], 0u);
  EXPECT_EQ(bound(), static_cast<GLint>(TEXTURE_WATER[7]));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
  EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
  expect_texels(3, 3, false);
}

// Files that cannot give an image still leave a named, bound texture with no
// image: a missing file, a 32-bit file for the water loader (which reads only
// 24-bit), a palette file, and bytes the decoder refuses.
TEST_F(TextureTest, UnusableFilesGiveNamedImagelessTextures) {
  std::vector<uint8_t> palette_file = bmp_bytes(2, 2, 24);
  palette_file[28] = 8;  // claims 8 bits per pixel and has no colour table
  std::vector<uint8_t> truncated = bmp_bytes(8, 8, 24);
  truncated.resize(70);
  const std::string missing = (dir_ / "missing.bmp").string();
  const std::string bits32 = write_bmp(2, 2, 32);
  const std::string palette = write("palette.bmp", palette_file);
  const std::string cut = write("cut.bmp", truncated);

  for (const std::string& file : {missing, palette, cut}) {
    SCOPED_TRACE(file);
    TEXTURELOAD(file.c_str());
    EXPECT_NE(TEXTUREID, 0u);
    EXPECT_EQ(bound(), static_cast<GLint>(TEXTUREID));
    EXPECT_TRUE(glIsTexture(TEXTUREID));
    EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 0);
  }
  for (const std::string& file : {missing, bits32, cut}) {
    SCOPED_TRACE(file);
    TEXTUREWATER(file.c_str(), 0);
    EXPECT_NE(TEXTURE_WATER[0], 0u);
    EXPECT_EQ(bound(), static_cast<GLint>(TEXTURE_WATER[0]));
    EXPECT_EQ(level0(GL_TEXTURE_WIDTH), 0);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureTest, HeaderProbe) {
  std::vector<uint8_t> not_bmp = bmp_bytes(2, 2, 24);
  not_bmp[0] = 'X';
  // A 12-byte core header ("BM", then size 12), long enough for both reads.
  std::vector<uint8_t> core(64, 0);
  core[0] = 'B';
  core[1] = 'M';
  core[14] = 12;
  std::vector<uint8_t> rle = bmp_bytes(4, 4, 8);
  rle[30] = 1;  // compression is not examined: the bit count is reported as is

  EXPECT_EQ(GETBMPDEPTH((dir_ / "none.bmp").c_str()), 0);
  EXPECT_EQ(GETBMPDEPTH(dir_.c_str()), 0);  // a directory is no file
  EXPECT_EQ(GETBMPDEPTH(write("x.bmp", not_bmp).c_str()), 0);
  EXPECT_EQ(GETBMPDEPTH(write("core.bmp", core).c_str()), 0);
  EXPECT_EQ(GETBMPDEPTH(write("rle.bmp", rle).c_str()), 8);
  EXPECT_EQ(GETBMPDEPTH(write_bmp(2, 2, 32).c_str()), 32);
}

TEST_F(TextureTest, EveryLoadMakesANewName) {
  const std::string file = write_bmp(4, 2, 24);
  TEXTURELOAD(file.c_str());
  const GLuint first = TEXTUREID;
  TEXTURELOAD(file.c_str());
  EXPECT_NE(TEXTUREID, first);
  EXPECT_TRUE(glIsTexture(first));
  EXPECT_EQ(bound(), static_cast<GLint>(TEXTUREID));
}

// Compiled into a list, the name is made at once but the binding and the image
// are recorded: each call of the list binds and re-specifies the texture.
TEST_F(TextureTest, LoadInsideADisplayListRespecifiesOnEveryCall) {
  const std::string file = write_bmp(3, 2, 24);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDisable(GL_TEXTURE_2D);
  const GLuint list = glGenLists(1);
  glNewList(list, GL_COMPILE);
  TEXTURELOAD(file.c_str());
  glEndList();
  const GLuint name = TEXTUREID;
  ASSERT_NE(name, 0u);
  EXPECT_EQ(bound(), 0);
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  glCallList(list);
  EXPECT_EQ(bound(), static_cast<GLint>(name));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  expect_texels(3, 2, false);

  const uint8_t grey[4] = {9, 9, 9, 9};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, grey);
  ASSERT_EQ(level0(GL_TEXTURE_WIDTH), 1);
  glBindTexture(GL_TEXTURE_2D, 0);
  glCallList(list);
  expect_texels(3, 2, false);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(SwapRgb, ExchangesFirstAndThirdByteOfEachGroup) {
  uint8_t bytes[7] = {1, 2, 3, 4, 5, 6, 7};
  SWAPRGB(bytes, 2);
  const uint8_t want[7] = {3, 2, 1, 6, 5, 4, 7};
  EXPECT_TRUE(std::equal(bytes, bytes + 7, want));
}

// Run-time errors end the program with 217 after naming the fault.
class TextureErrorTest : public TextureTest {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TextureTest::SetUp();
  }
};

TEST_F(TextureErrorTest, ShortHeadersAndBadSlotsExit217) {
  const std::vector<uint8_t> full = bmp_bytes(2, 2, 24);
  const std::string short_file_header = write("short14.bmp", {full.begin(), full.begin() + 10});
  const std::string short_info_header = write("short54.bmp", {full.begin(), full.begin() + 40});
  const std::string good = write_bmp(2, 2, 24);

  EXPECT_EXIT(GETBMPDEPTH(short_file_header.c_str()), ::testing::ExitedWithCode(217),
              "Read error");
  EXPECT_EXIT(TEXTURELOAD(short_info_header.c_str()), ::testing::ExitedWithCode(217),
              "Read error");
  EXPECT_EXIT(TEXTUREWATER(good.c_str(), 501), ::testing::ExitedWithCode(217),
              "Range check error");
  EXPECT_EXIT(TEXTUREWATER(good.c_str(), -1), ::testing::ExitedWithCode(217),
              "Range check error");
}

}  // namespace
