// The shipped files as Windows sees them: the version resource Explorer's Details tab shows
// (read back with GetFileVersionInfo, as Windows does), and the saver's icon and the name the
// screen-saver list shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// build/win64/tests/win32/<test>.exe -> build/win64/<name>
std::wstring BuildFile(const std::wstring& name) {
  wchar_t exe[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
  std::wstring path = exe;
  path.resize(path.find_last_of(L'\\') + 1);
  return path + L"..\\..\\" + name;
}

struct ShippedFile {
  const wchar_t* name;
  const wchar_t* description;
  DWORD fileType;
};

class VersionResource : public testing::TestWithParam<ShippedFile> {};

TEST_P(VersionResource, NamesTheProductAndCarriesTheProjectVersion) {
  const std::wstring path = BuildFile(GetParam().name);
  DWORD ignored = 0;
  std::vector<BYTE> data(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_FALSE(data.empty()) << "no version resource";
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));

  // Strings under the file's first translation, as Explorer looks them up.
  WORD* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  auto text = [&](const wchar_t* name) -> std::wstring {
    wchar_t query[128];
    swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
    wchar_t* value = nullptr;
    UINT size = 0;
    return VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &size) ? value : L"<absent>";
  };
  const std::string version = SWFSAVER_VERSION;
  EXPECT_EQ(text(L"ProductName"), L"SwfSaver");
  EXPECT_EQ(text(L"CompanyName"), L"Ostrevanlab");
  EXPECT_EQ(text(L"FileDescription"), GetParam().description);
  EXPECT_EQ(text(L"OriginalFilename"), GetParam().name);
  EXPECT_EQ(text(L"FileVersion"), std::wstring(version.begin(), version.end()) + L".0");
  EXPECT_EQ(text(L"ProductVersion"), std::wstring(version.begin(), version.end()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
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
      return std::string(info.param.fileType == VFT_APP ? "Saver" : "Standin");
    });

// The saver loaded as a data file, as Explorer and the screen-saver settings load it: one icon
// group, under the id screen savers use, drawn at each size Windows asks for; and string 1,
// the name in the screen-saver list.
TEST(SaverResources, IconAtEverySizeAndTheListName) {
  HMODULE module = LoadLibraryExW(BuildFile(L"SwfSaver.scr").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  std::vector<ULONG_PTR> groups;
  EnumResourceNamesW(
      module, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON),
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR list) -> BOOL {
        reinterpret_cast<std::vector<ULONG_PTR>*>(list)->push_back(
            IS_INTRESOURCE(name) ? reinterpret_cast<ULONG_PTR>(name) : ~ULONG_PTR{0});
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&groups));
  EXPECT_EQ(groups, std::vector<ULONG_PTR>{100});

  for (int size : {16, 32, 48}) {
    HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(100), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, size);
    EXPECT_EQ(bitmap.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }

  wchar_t name[64] = {};
  EXPECT_GT(LoadStringW(module, 1, name, 64), 0);
  EXPECT_STREQ(name, L"SwfSaver");
  FreeLibrary(module);
}

}  // namespace
