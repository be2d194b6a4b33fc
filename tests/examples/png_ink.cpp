// png_ink: how much of a screenshot is drawn. Reads an 8-bit RGB or RGBA PNG (as a browser
// writes its screenshots) and prints, for each band of rows given, the share of its pixels that
// are darker than paper.
//
//   png_ink FILE.png FIRST_ROW END_ROW [FIRST_ROW END_ROW ...]
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

const int kInkLevel = 160;  // a pixel with a channel below this is drawn, not paper

static int Fail(const std::string& message) {
  fprintf(stderr, "png_ink: %s\n", message.c_str());
  return 2;
}

static unsigned Big32(const unsigned char* bytes) {
  return static_cast<unsigned>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
}

static int Paeth(int left, int up, int corner) {
  int p = left + up - corner;
  int pa = abs(p - left), pb = abs(p - up), pc = abs(p - corner);
  return (pa <= pb && pa <= pc) ? left : (pb <= pc ? up : corner);
}

int main(int argc, char** argv) {
  if (argc < 4 || argc % 2 != 0) return Fail("usage: png_ink FILE.png FIRST_ROW END_ROW [FIRST_ROW END_ROW ...]");
  FILE* file = fopen(argv[1], "rb");
  if (file == nullptr) return Fail(std::string("cannot open ") + argv[1]);
  std::vector<unsigned char> data;
  unsigned char block[65536];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) data.insert(data.end(), block, block + got);
  fclose(file);
  if (data.size() < 8 || data[1] != 'P' || data[2] != 'N' || data[3] != 'G') return Fail("not a PNG file");

  unsigned width = 0, height = 0, depth = 0, colour = 0, interlace = 0;
  std::vector<unsigned char> compressed;
  for (size_t at = 8; at + 12 <= data.size();) {
    unsigned length = Big32(&data[at]);
    if (length > data.size() - at - 12) return Fail("a PNG chunk runs past the end of the file");
    const unsigned char* body = &data[at + 8];
    std::string kind(reinterpret_cast<const char*>(&data[at + 4]), 4);
    if (kind == "IHDR" && length >= 13) {
      width = Big32(body);
      height = Big32(body + 4);
      depth = body[8];
      colour = body[9];
      interlace = body[12];
    } else if (kind == "IDAT") {
      compressed.insert(compressed.end(), body, body + length);
    }
    at += 12 + length;
  }
  if (depth != 8 || (colour != 2 && colour != 6) || interlace != 0 || width == 0 || width > 100000 || height > 100000) {
    return Fail("only 8-bit RGB or RGBA PNG without interlacing is read");
  }
  const size_t size = colour == 2 ? 3 : 4;
  const size_t stride = width * size;
  std::vector<unsigned char> raw((stride + 1) * height);
  uLongf rawLength = raw.size();
  if (uncompress(raw.data(), &rawLength, compressed.data(), compressed.size()) != Z_OK || rawLength != raw.size()) {
    return Fail("the PNG's image data does not inflate to its size");
  }

  // Undo the row filters in place and mark the drawn pixels of every row.
  std::vector<unsigned> drawnInRow(height, 0);
  for (size_t y = 0; y < height; y++) {
    unsigned char* row = &raw[y * (stride + 1) + 1];
    const unsigned char* up = y > 0 ? &raw[(y - 1) * (stride + 1) + 1] : nullptr;
    int filter = row[-1];
    for (size_t i = 0; i < stride; i++) {
      int left = i >= size ? row[i - size] : 0;
      int above = up != nullptr ? up[i] : 0;
      int corner = (up != nullptr && i >= size) ? up[i - size] : 0;
      int add = filter == 1 ? left : filter == 2 ? above : filter == 3 ? (left + above) / 2
                : filter == 4 ? Paeth(left, above, corner) : 0;
      row[i] = static_cast<unsigned char>(row[i] + add);
    }
    for (size_t x = 0; x < width; x++) {
      const unsigned char* pixel = row + x * size;
      if (pixel[0] < kInkLevel || pixel[1] < kInkLevel || pixel[2] < kInkLevel) drawnInRow[y]++;
    }
  }
  for (int i = 2; i + 1 < argc; i += 2) {
    unsigned first = static_cast<unsigned>(atoi(argv[i])), end = static_cast<unsigned>(atoi(argv[i + 1]));
    if (end > height) end = height;
    double drawn = 0;
    for (unsigned y = first; y < end; y++) drawn += drawnInRow[y];
    double share = end > first ? drawn / (static_cast<double>(end - first) * width) : 0.0;
    printf("%.4f\n", share);
  }
  return 0;
}
