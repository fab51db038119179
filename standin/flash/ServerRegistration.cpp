#include "standin/flash/ServerRegistration.h"

#include <olectl.h>

#include "flashapi/ShockwaveFlash.h"

namespace swfsaver::flash {
namespace {

const std::wstring kClassKey = std::wstring(L"Software\\Classes\\CLSID\\") + flashapi::kClsidShockwaveFlashText;
const std::wstring kServerKey = kClassKey + L"\\InprocServer32";
constexpr wchar_t kThreadingModel[] = L"ThreadingModel";

HKEY Root(RegistrationScope scope) {
  return scope == RegistrationScope::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring StringValue(HKEY root, const std::wstring& key, const wchar_t* value) {
  wchar_t buffer[MAX_PATH * 2] = {};
  DWORD size = sizeof(buffer);
  if (RegGetValueW(root, key.c_str(), value, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                   nullptr, buffer, &size) != ERROR_SUCCESS) {
    return {};
  }
  return buffer;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The stand-in's own registration: its mark names the DLL that InprocServer32 still names.
// If anything has rewritten the server path since, the registration is someone else's.
bool OwnRegistration(HKEY root) {
  const std::wstring marked = StringValue(root, kClassKey, kStandinMarkerValue);
  return !marked.empty() && SamePath(marked, StringValue(root, kServerKey, nullptr));
}

// A registration that is not this stand-in's: the class key names a server of any kind. A bare
// key with no server in it registers nothing.
bool ForeignRegistration(HKEY root) {
  for (const wchar_t* server : {L"InprocServer32", L"LocalServer32", L"InprocHandler32"}) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, (kClassKey + L"\\" + server).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      continue;
    }
    RegCloseKey(key);
    if (std::wstring(server) != L"InprocServer32" || !OwnRegistration(root)) return true;
  }
  return false;
}

LSTATUS SetString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return status;
}

void DeleteValue(HKEY root, const std::wstring& key, const wchar_t* name) {
  RegDeleteKeyValueW(root, key.c_str(), name);
}

// Deletes key only when it holds no values and no subkeys: what is left belongs to someone else.
void DeleteKeyIfEmpty(HKEY root, const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  DWORD subkeys = 0, values = 0;
  const LSTATUS status = RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                          nullptr, &values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(handle);
  if (status == ERROR_SUCCESS && subkeys == 0 && values == 0) RegDeleteKeyW(root, key.c_str());
}

}  // namespace

HRESULT RegisterServer(RegistrationScope scope, const std::wstring& dllPath) {
  if (ForeignRegistration(HKEY_LOCAL_MACHINE) || ForeignRegistration(HKEY_CURRENT_USER)) {
    return SELFREG_E_CLASS;
  }
  const HKEY root = Root(scope);
  LSTATUS status = SetString(root, kServerKey, nullptr, dllPath);
  if (status == ERROR_SUCCESS) status = SetString(root, kClassKey, kStandinMarkerValue, dllPath);
  if (status == ERROR_SUCCESS) status = SetString(root, kServerKey, kThreadingModel, L"Apartment");
  if (status != ERROR_SUCCESS) {
    UnregisterServer(scope, dllPath);
    return HRESULT_FROM_WIN32(status);
  }
  return S_OK;
}

HRESULT UnregisterServer(RegistrationScope scope, const std::wstring& dllPath) {
  const HKEY root = Root(scope);
  if (!OwnRegistration(root)) return S_OK;  // nothing of ours, or no longer ours
  // Another copy of the stand-in wrote this one; it is that copy's to remove.
  if (!SamePath(StringValue(root, kServerKey, nullptr), dllPath)) return S_OK;
  DeleteValue(root, kServerKey, nullptr);
  DeleteValue(root, kServerKey, kThreadingModel);
  DeleteKeyIfEmpty(root, kServerKey);
  DeleteValue(root, kClassKey, kStandinMarkerValue);
  DeleteKeyIfEmpty(root, kClassKey);
  return S_OK;
}

}  // namespace swfsaver::flash
