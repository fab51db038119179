// Registration of the stand-in control in a Wine prefix: machine-wide and per user, idempotent,
// never over another DLL's registration of the class id, and unregistering only what it wrote.
// Every test leaves the stand-in registered machine-wide, as the other Wine tests need it.
#include <string>

#include "tests/win32/standin_support.h"

namespace swfsaver::standin_test {
namespace {

const std::wstring kClassKey =
    std::wstring(L"Software\\Classes\\CLSID\\") + flashapi::kClsidShockwaveFlashText;
const std::wstring kServerKey = kClassKey + L"\\InprocServer32";
constexpr wchar_t kForeignServer[] = L"C:\\Program Files\\Vendor\\Flash.ocx";

std::wstring ReadString(HKEY root, const std::wstring& key, const wchar_t* value) {
  wchar_t buffer[1024] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return L"<absent>";
  }
  return buffer;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

void WriteString(HKEY root, const std::wstring& key, const wchar_t* value, const std::wstring& text) {
  ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), value, REG_SZ, text.c_str(),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

void WriteForeignRegistration(HKEY root) {
  WriteString(root, kServerKey, nullptr, kForeignServer);
  WriteString(root, kServerKey, L"ThreadingModel", L"Both");
}

class StandinRegistration : public StandinTest {
 protected:
  void TearDown() override {
    // Whatever a test planted goes, and the stand-in is registered machine-wide again.
    RegDeleteTreeW(HKEY_CURRENT_USER, kClassKey.c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey.c_str());
    EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str()), S_OK);
    StandinTest::TearDown();
  }

  // Starts from a prefix where the class id is registered nowhere.
  void ClearRegistrations() {
    ASSERT_EQ(flash::UnregisterFlashStandin(dll_.c_str()), S_OK);
    ASSERT_EQ(flash::UnregisterFlashStandin(dll_.c_str(), flash::StandinScope::kUser), S_OK);
    ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
  }

  const std::wstring dll_ = StandinDllPath();
};

TEST_F(StandinRegistration, RegistersMachineWideAndCreatesByClassId) {
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, nullptr), dll_);
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str()), S_OK) << "registering again is harmless";
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, nullptr), dll_);

  IUnknown* control = Create<IUnknown>(IID_IUnknown);
  ASSERT_NE(control, nullptr);
  control->Release();
}

TEST_F(StandinRegistration, RefusesToDisplaceAnotherDllRegisteredMachineWide) {
  ClearRegistrations();
  WriteForeignRegistration(HKEY_LOCAL_MACHINE);

  EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str()), SELFREG_E_CLASS);
  EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str(), flash::StandinScope::kUser), SELFREG_E_CLASS);
  EXPECT_EQ(flash::UnregisterFlashStandin(dll_.c_str()), S_OK);

  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, nullptr), kForeignServer);
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, L"ThreadingModel"), L"Both");
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kClassKey, L"SwfSaverStandin"), L"<absent>");
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey)) << "no per-user shadow was written";
}

TEST_F(StandinRegistration, RefusesMachineWideWhileAnotherDllIsRegisteredPerUser) {
  ClearRegistrations();
  WriteForeignRegistration(HKEY_CURRENT_USER);

  EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str()), SELFREG_E_CLASS);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kServerKey, nullptr), kForeignServer);
}

// Once something has rewritten the server path under the stand-in's own mark (an installer of
// the real control, say), the registration is no longer the stand-in's to replace or remove.
TEST_F(StandinRegistration, RewrittenServerPathIsNoLongerItsOwn) {
  WriteString(HKEY_LOCAL_MACHINE, kServerKey, nullptr, kForeignServer);

  EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str()), SELFREG_E_CLASS);
  EXPECT_EQ(flash::UnregisterFlashStandin(dll_.c_str()), S_OK);
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, nullptr), kForeignServer);
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, L"ThreadingModel"), L"Apartment");
}

TEST_F(StandinRegistration, UnregisteringRemovesOnlyWhatItWrote) {
  WriteString(HKEY_LOCAL_MACHINE, kServerKey, L"Extra", L"kept");
  WriteString(HKEY_LOCAL_MACHINE, kClassKey + L"\\Control", nullptr, L"");

  EXPECT_EQ(flash::UnregisterFlashStandin(dll_.c_str()), S_OK);

  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, nullptr), L"<absent>");
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, L"ThreadingModel"), L"<absent>");
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kClassKey, L"SwfSaverStandin"), L"<absent>");
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, L"Extra"), L"kept");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey + L"\\Control"));
}

TEST_F(StandinRegistration, PerUserRegistrationTouchesOnlyTheCurrentUser) {
  ClearRegistrations();

  EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str(), flash::StandinScope::kUser), S_OK);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kServerKey, nullptr), dll_);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kServerKey, L"ThreadingModel"), L"Apartment");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kClassKey));

  // A per-user registration of the stand-in does not block its machine-wide one.
  EXPECT_EQ(flash::RegisterFlashStandin(dll_.c_str()), S_OK);
  EXPECT_EQ(flash::UnregisterFlashStandin(dll_.c_str(), flash::StandinScope::kUser), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClassKey));
  EXPECT_EQ(ReadString(HKEY_LOCAL_MACHINE, kServerKey, nullptr), dll_);
}

TEST_F(StandinRegistration, UnknownInstallCommandIsRefused) {
  HMODULE dll = LoadLibraryW(dll_.c_str());
  ASSERT_NE(dll, nullptr);
  using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
  auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(dll, "DllInstall")));
  ASSERT_NE(install, nullptr);
  EXPECT_EQ(install(TRUE, L"everyone"), E_INVALIDARG);
  FreeLibrary(dll);
}

}  // namespace
}  // namespace swfsaver::standin_test
