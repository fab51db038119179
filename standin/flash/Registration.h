// Registers or unregisters the stand-in control the way regsvr32 does, by loading the DLL and
// calling its own exports; for tests and tools that need the control present. Registering is
// idempotent (the DLL's own registration is simply written again) and refuses, with
// SELFREG_E_CLASS, to displace another DLL's registration of the class id.
//
// From a shell:  wine regsvr32 build/win64/FlashStandin.dll          (machine-wide)
//                wine regsvr32 /n /i:user build/win64/FlashStandin.dll (current user)
#pragma once

#include <windows.h>

namespace swfsaver::flash {

enum class StandinScope { kMachine, kUser };

namespace detail {

inline HRESULT CallStandinExport(const wchar_t* dllPath, bool install, StandinScope scope) {
  HMODULE dll = LoadLibraryW(dllPath);
  if (!dll) return HRESULT_FROM_WIN32(GetLastError());
  HRESULT hr = E_FAIL;
  if (scope == StandinScope::kMachine) {
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
        GetProcAddress(dll, install ? "DllRegisterServer" : "DllUnregisterServer")));
    hr = entry ? entry() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  } else {
    using Entry = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
    auto entry = reinterpret_cast<Entry>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllInstall")));
    hr = entry ? entry(install ? TRUE : FALSE, L"user") : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  }
  FreeLibrary(dll);
  return hr;
}

}  // namespace detail

inline HRESULT RegisterFlashStandin(const wchar_t* dllPath,
                                    StandinScope scope = StandinScope::kMachine) {
  return detail::CallStandinExport(dllPath, true, scope);
}

inline HRESULT UnregisterFlashStandin(const wchar_t* dllPath,
                                      StandinScope scope = StandinScope::kMachine) {
  return detail::CallStandinExport(dllPath, false, scope);
}

}  // namespace swfsaver::flash
