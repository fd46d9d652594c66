// Writes the demonstration programs' texture files into the folder named on
// the command line: nubi.bmp (clouds, 24-bit), pietre.bmp (stones, 24-bit)
// and floor09.bmp (floor tiles, 32-bit), each 256 by 256.
#include "bmp_file.h"
#include "pictures.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  constexpr int kSize = 256;
  struct Output {
    const char* name;
    texgen::Picture picture;
    int bits;
  } outputs[] = {
      {"nubi.bmp", texgen::paint_clouds(kSize), 24},
      {"pietre.bmp", texgen::paint_stones(kSize), 24},
      {"floor09.bmp", texgen::paint_floor_tiles(kSize), 32},
  };
  for (const Output& o : outputs) {
    const std::string path = folder + "/" + o.name;
    if (!texgen::write_bmp(path, o.picture, o.bits)) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], path.c_str());
      return 1;
    }
  }
  return 0;
}
