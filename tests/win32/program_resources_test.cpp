// The resources the programs carry, read back from the built executables with the Win32
// resource API as Explorer and the loader read them: version information, the icon in its three
// sizes and the application manifest. A macro program made from the stub carries them too.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/utf16_win32.h"
#include "common/version.h"
#include "probe_process.h"
#include "script/make_exe.h"

namespace qb::win32test {
namespace {

std::string programsFolder() {
  return ownFolder() + "\\..\\..\\programs";
}

// A version string of the version information's US English, UTF-16 table.
std::string versionString(const std::vector<char>& info, const wchar_t* name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
  if (!VerQueryValueW(info.data(), key.c_str(), &value, &length) || length == 0) return {};
  return qb::win32::utf8FromUtf16(std::wstring(static_cast<const wchar_t*>(value), length - 1));
}

std::vector<char> versionInfo(const std::string& program) {
  const std::wstring path = qb::win32::utf16FromUtf8(program);
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) info.clear();
  return info;
}

// A program opened for its resources only: nothing of it runs.
class Resources {
 public:
  explicit Resources(const std::string& program)
      : module_(LoadLibraryExW(qb::win32::utf16FromUtf8(program).c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~Resources() {
    if (module_) FreeLibrary(module_);
  }
  Resources(const Resources&) = delete;
  Resources& operator=(const Resources&) = delete;

  bool open() const { return module_ != nullptr; }
  HMODULE module() const { return module_; }
  std::string bytes(const wchar_t* type, const wchar_t* name) const {
    HRSRC found = FindResourceW(module_, name, type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module_, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    return data ? std::string(data, SizeofResource(module_, found)) : std::string();
  }

 private:
  HMODULE module_;
};

// The sizes and colour depths the icon group lists (its GRPICONDIR), as "16x16x32".
std::vector<std::string> iconSizes(const Resources& resources) {
  const std::string group = resources.bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
  std::vector<std::string> sizes;
  if (group.size() < 6) return sizes;
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(group[at]); };
  const std::size_t count = byte(4) | byte(5) << 8;
  for (std::size_t i = 0; i < count && 6 + 14 * (i + 1) <= group.size(); ++i) {
    const std::size_t entry = 6 + 14 * i;  // width, height, colours, 0, planes, bits, ...
    sizes.push_back(std::to_string(byte(entry)) + "x" + std::to_string(byte(entry + 1)) + "x" +
                    std::to_string(byte(entry + 6) | byte(entry + 7) << 8));
  }
  return sizes;
}

struct Rgba {
  int red, green, blue, alpha;
};

// The icon of group 1 at one size as Windows makes it from the resources, read back as pixels.
std::vector<Rgba> iconPixels(const Resources& resources, int size) {
  std::string group = resources.bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
  if (group.empty()) return {};
  const int id = LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(group.data()), TRUE, size,
                                             size, LR_DEFAULTCOLOR);
  std::string image = resources.bytes(RT_ICON, MAKEINTRESOURCEW(id));
  if (image.empty()) return {};
  HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(image.data()),
                                        static_cast<DWORD>(image.size()), TRUE, 0x00030000, size,
                                        size, LR_DEFAULTCOLOR);
  if (!icon) return {};
  ICONINFO info{};
  GetIconInfo(icon, &info);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;  // top row first
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> bgra(static_cast<std::size_t>(size) * size);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, info.hbmColor, 0, size, bgra.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  if (rows != size) return {};
  std::vector<Rgba> pixels;
  for (const std::uint32_t p : bgra)
    pixels.push_back({int(p >> 16 & 0xff), int(p >> 8 & 0xff), int(p & 0xff), int(p >> 24)});
  return pixels;
}

bool looksLike(Rgba got, Rgba want) {
  return std::abs(got.red - want.red) <= 8 && std::abs(got.green - want.green) <= 8 &&
         std::abs(got.blue - want.blue) <= 8 && std::abs(got.alpha - want.alpha) <= 8;
}

struct Program {
  std::string path;
  const char* description;
  const char* fileName;
};

// Each program: its version strings and numbers, the icon at 16, 32 and 48 pixels (a clear
// corner, the blue square, the yellow circle in the middle), and a manifest that asks for
// per-monitor DPI awareness (version 2, with the older forms as fallbacks), the themed common
// controls and no elevation.
void expectResources(const Program& program) {
  SCOPED_TRACE(program.path);
  const std::vector<char> info = versionInfo(program.path);
  ASSERT_FALSE(info.empty()) << "no version information";
  EXPECT_EQ(versionString(info, L"ProductName"), "Quillbarrow");
  EXPECT_EQ(versionString(info, L"FileDescription"), program.description);
  EXPECT_EQ(versionString(info, L"OriginalFilename"), program.fileName);
  EXPECT_EQ(versionString(info, L"FileVersion"), QB_VERSION);
  EXPECT_EQ(versionString(info, L"ProductVersion"), QB_VERSION);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                std::to_string(LOWORD(fixed->dwFileVersionMS)),
            QB_VERSION);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  const Resources resources(program.path);
  ASSERT_TRUE(resources.open());
  EXPECT_EQ(iconSizes(resources), (std::vector<std::string>{"16x16x32", "32x32x32", "48x48x32"}));
  const Rgba clear{0, 0, 0, 0}, blue{0x2e, 0x5c, 0x8a, 255}, yellow{0xf2, 0xc1, 0x4e, 255};
  for (const int size : {16, 32, 48}) {
    SCOPED_TRACE(size);
    const std::vector<Rgba> pixels = iconPixels(resources, size);
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(size * size)) << "the icon does not load";
    const auto at = [&](int x, int y) { return pixels[y * size + x]; };
    EXPECT_TRUE(looksLike(at(0, 0), clear));
    EXPECT_TRUE(looksLike(at(size / 2, size * 5 / 32), blue));
    EXPECT_TRUE(looksLike(at(size / 2, size / 2), yellow));
    EXPECT_TRUE(looksLike(at(size * 5 / 32, size / 2), blue));
  }

  const std::string manifest = resources.bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
  for (const char* wanted :
       {"<dpiAwareness", "PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>",
        "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"", "level=\"asInvoker\"",
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"})
    EXPECT_NE(manifest.find(wanted), std::string::npos) << "the manifest has no " << wanted;
}

TEST(ProgramResources, VersionIconAndManifestOfEachProgramAndOfAMadeMacroProgram) {
  const std::string folder = programsFolder();
  for (const Program& program :
       {Program{folder + "\\Daventi.exe", "Quillbarrow macro recorder", "Daventi.exe"},
        Program{folder + "\\Tapbolt.exe", "Quillbarrow macro program", "Tapbolt.exe"},
        Program{folder + "\\Kestrip.exe", "Quillbarrow shortcut maker", "Kestrip.exe"}})
    expectResources(program);

  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string made = qb::win32::utf8FromUtf16(temp) + "Macro-resources.exe";
  const auto written =
      writeStandAloneProgram(folder + "\\Tapbolt.exe", made, "m:100,100-1000\r\n", false);
  ASSERT_TRUE(written) << written.message();
  expectResources({made, "Quillbarrow macro program", "Tapbolt.exe"});
  DeleteFileW(qb::win32::utf16FromUtf8(made).c_str());
}

}  // namespace
}  // namespace qb::win32test
