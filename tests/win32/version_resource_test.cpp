// The shipped files as Windows sees them: the version resource Explorer's Details tab shows
// (read back with GetFileVersionInfo, as Windows does), and the saver's icon and the name the
// screen-saver list shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// build/win64/tests/win32/<test>.exe -> build/win64/<name>
std::wstring BuildFile(const wchar_t* name) {
  wchar_t exe[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
  std::wstring path = exe;
  path.resize(path.find_last_of(L'\\') + 1);
  path += L"..\\..\\";
  path += name;
  wchar_t full[MAX_PATH * 2] = {};
  GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
  return full;
}

std::wstring Widen(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

struct ShippedFile {
  const wchar_t* name;
  const wchar_t* description;
  DWORD fileType;
};

class VersionResource : public testing::TestWithParam<ShippedFile> {
 protected:
  void SetUp() override {
    const std::wstring path = BuildFile(GetParam().name);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << std::string(path.begin(), path.end());
    data_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data_.data()));
  }

  // The string under the file's first (and only) translation, as Explorer looks it up.
  std::wstring String(const wchar_t* name) {
    struct Translation {
      WORD language;
      WORD codePage;
    }* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &length) ||
        length < sizeof(Translation)) {
      return L"<no translation>";
    }
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations->language,
             translations->codePage, name);
    wchar_t* text = nullptr;
    if (!VerQueryValueW(data_.data(), query, reinterpret_cast<void**>(&text), &length)) {
      return L"<absent>";
    }
    return text;
  }

  std::vector<BYTE> data_;
};

TEST_P(VersionResource, NamesProductCompanyAndFile) {
  EXPECT_EQ(String(L"ProductName"), L"SwfSaver");
  EXPECT_EQ(String(L"CompanyName"), L"Ostrevanlab");
  EXPECT_EQ(String(L"FileDescription"), GetParam().description);
  EXPECT_EQ(String(L"OriginalFilename"), GetParam().name);
}

TEST_P(VersionResource, CarriesTheProjectVersion) {
  EXPECT_EQ(String(L"FileVersion"), Widen(SWFSAVER_VERSION) + L".0");
  EXPECT_EQ(String(L"ProductVersion"), Widen(SWFSAVER_VERSION));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data_.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD ms = MAKELONG(SWFSAVER_VERSION_MINOR, SWFSAVER_VERSION_MAJOR);
  const DWORD ls = MAKELONG(0, SWFSAVER_VERSION_PATCH);
  EXPECT_EQ(fixed->dwFileVersionMS, ms);
  EXPECT_EQ(fixed->dwFileVersionLS, ls);
  EXPECT_EQ(fixed->dwProductVersionMS, ms);
  EXPECT_EQ(fixed->dwProductVersionLS, ls);
  EXPECT_EQ(fixed->dwFileType, GetParam().fileType);
}

INSTANTIATE_TEST_SUITE_P(
    ShippedFiles, VersionResource,
    testing::Values(ShippedFile{L"SwfSaver.scr", L"SwfSaver screen saver", VFT_APP},
                    ShippedFile{L"FlashStandin.dll", L"SwfSaver stand-in for the Flash control", VFT_DLL}),
    [](const testing::TestParamInfo<ShippedFile>& info) {
      return info.param.fileType == VFT_APP ? std::string("Saver") : std::string("Standin");
    });

// The saver loaded as a data file, as Explorer and the screen-saver settings load it.
class SaverResources : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(BuildFile(L"SwfSaver.scr").c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(SaverResources, HasOneIconGroupUnderTheScreenSaverIconId) {
  std::vector<ULONG_PTR> names;
  EnumResourceNamesW(
      module_, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON),
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
        reinterpret_cast<std::vector<ULONG_PTR>*>(list)->push_back(
            IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : ~ULONG_PTR{0});
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&names));
  EXPECT_EQ(names, std::vector<ULONG_PTR>{100});
}

// Each size Windows asks for is drawn at that size, and shows a picture, not a blank square:
// a dark frame, light sprocket holes, the screen and the play mark in colours of their own.
TEST_F(SaverResources, IconHasEverySizeAndShowsAPicture) {
  for (int size : {16, 32, 48}) {
    SCOPED_TRACE(size);
    HICON icon = static_cast<HICON>(LoadImageW(module_, MAKEINTRESOURCEW(100), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    EXPECT_EQ(bitmap.bmHeight, size);

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = size;
    format.bmiHeader.biHeight = -size;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(size * size);
    HDC screen = GetDC(nullptr);
    ASSERT_EQ(GetDIBits(screen, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS), size);
    ReleaseDC(nullptr, screen);
    std::set<DWORD> colours;
    int opaque = 0;
    for (DWORD pixel : pixels) {
      if ((pixel >> 24) < 0xC0) continue;
      ++opaque;
      colours.insert(pixel & 0xE0E0E0);  // near shades count as one
    }
    EXPECT_GT(opaque, size * size / 2);
    EXPECT_GE(colours.size(), 4u);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

// The screen-saver list shows string 1 of a saver as its name.
TEST_F(SaverResources, NamesItselfForTheScreenSaverList) {
  wchar_t name[64] = {};
  EXPECT_GT(LoadStringW(module_, 1, name, 64), 0);
  EXPECT_STREQ(name, L"SwfSaver");
}

}  // namespace
