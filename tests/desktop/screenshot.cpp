// qb_screenshot FRAMEBUFFER X Y WIDTH HEIGHT FILE.png [LEFT,TOP,WIDTH,HEIGHT...]: cuts a
// rectangle out of an Xvfb framebuffer file (Xvfb -fbdir keeps the screen's memory in XWD
// format) and saves it as a PNG. The desktop tests run it as a process of its own, so their
// pictures show what the X server holds, not what the toolkit believes it drew.
// With rectangles (in the cut's own pixels) it prints how many colours the cut has, then one
// line per rectangle: how many of its pixels differ from its commonest colour (its "ink").
#include <QImage>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

// The XWD header: 25 big-endian 32-bit fields, then the window name and the colour map.
enum Field {
  kHeaderSize = 0,
  kPixmapDepth = 3,
  kWidth = 4,
  kHeight = 5,
  kByteOrder = 7,
  kBitsPerPixel = 11,
  kBytesPerLine = 12,
  kRedMask = 14,
  kGreenMask = 15,
  kBlueMask = 16,
  kColours = 19,
  kFieldCount = 25
};
constexpr std::size_t kColourEntrySize = 12;

std::uint32_t bigEndian(const unsigned char* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

int shiftOf(std::uint32_t mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

int fail(const std::string& why) {
  std::fprintf(stderr, "qb_screenshot: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 7) {
    std::fprintf(stderr,
                 "usage: qb_screenshot FRAMEBUFFER X Y WIDTH HEIGHT FILE.png [L,T,W,H...]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<unsigned char> data{std::istreambuf_iterator<char>(in), {}};
  if (data.size() < kFieldCount * 4) return fail(std::string("no framebuffer in ") + argv[1]);
  std::uint32_t h[kFieldCount];
  for (int i = 0; i < kFieldCount; ++i) h[i] = bigEndian(&data[static_cast<std::size_t>(i) * 4]);
  if (h[kBitsPerPixel] != 32 || h[kPixmapDepth] < 24)
    return fail("only 32-bit pixels are read, the framebuffer has " +
                std::to_string(h[kBitsPerPixel]));
  const std::size_t pixels = h[kHeaderSize] + h[kColours] * kColourEntrySize;
  const int screenWidth = static_cast<int>(h[kWidth]), screenHeight = static_cast<int>(h[kHeight]);
  if (data.size() < pixels + std::size_t{h[kBytesPerLine]} * h[kHeight])
    return fail("the framebuffer file is shorter than its header says");

  const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
  const int width = std::atoi(argv[4]), height = std::atoi(argv[5]);
  if (width <= 0 || height <= 0 || x < 0 || y < 0 || x + width > screenWidth ||
      y + height > screenHeight)
    return fail("the rectangle is not on the screen");
  const bool littleEndian = h[kByteOrder] == 0;
  const int red = shiftOf(h[kRedMask]), green = shiftOf(h[kGreenMask]),
            blue = shiftOf(h[kBlueMask]);
  QImage image(width, height, QImage::Format_RGB32);
  for (int row = 0; row < height; ++row) {
    const unsigned char* line =
        &data[pixels + std::size_t{h[kBytesPerLine]} * static_cast<std::size_t>(y + row)];
    for (int col = 0; col < width; ++col) {
      const unsigned char* p = line + static_cast<std::size_t>(x + col) * 4;
      const std::uint32_t v = littleEndian ? std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 |
                                                 std::uint32_t{p[1]} << 8 | p[0]
                                           : bigEndian(p);
      image.setPixel(col, row,
                     qRgb(static_cast<int>((v & h[kRedMask]) >> red),
                          static_cast<int>((v & h[kGreenMask]) >> green),
                          static_cast<int>((v & h[kBlueMask]) >> blue)));
    }
  }
  if (!image.save(QString::fromLocal8Bit(argv[6]), "PNG"))
    return fail(std::string("cannot save ") + argv[6]);
  if (argc > 7) {
    std::map<QRgb, int> colours;
    for (int row = 0; row < height; ++row)
      for (int col = 0; col < width; ++col) ++colours[image.pixel(col, row)];
    std::printf("colours %zu\n", colours.size());
  }
  for (int i = 7; i < argc; ++i) {
    int left = 0, top = 0, w = 0, h2 = 0;
    std::sscanf(argv[i], "%d,%d,%d,%d", &left, &top, &w, &h2);
    const QRect place = QRect(left, top, w, h2).intersected(image.rect());
    std::map<QRgb, int> counts;
    for (int row = place.top(); row <= place.bottom(); ++row)
      for (int col = place.left(); col <= place.right(); ++col) ++counts[image.pixel(col, row)];
    int commonest = 0, all = 0;
    for (const auto& [colour, n] : counts) {
      commonest = std::max(commonest, n);
      all += n;
    }
    std::printf("ink %d\n", all - commonest);
  }
  return 0;
}
