// Where and how the DLL registers its class: under Software\Classes\CLSID\{class id} of the
// local machine (regsvr32) or of the current user (regsvr32 /n /i:user), with
// InprocServer32 = this DLL's path and ThreadingModel = Apartment.
//
// It never displaces another registration: when the class id is registered for another DLL or
// server in either place (a per-user registration shadows a machine-wide one, so both count),
// it refuses with SELFREG_E_CLASS and writes nothing. Its class key carries the value
// "SwfSaverStandin" = the DLL path it wrote, so that it knows its own registration again (and
// treats it as foreign once something rewrote InprocServer32); unregistering removes only the
// values it wrote, and a key only when nothing else is left in it.
#pragma once

#include <windows.h>

#include <string>

namespace swfsaver::flash {

enum class RegistrationScope { kMachine, kUser };

inline constexpr wchar_t kStandinMarkerValue[] = L"SwfSaverStandin";

HRESULT RegisterServer(RegistrationScope scope, const std::wstring& dllPath);
HRESULT UnregisterServer(RegistrationScope scope, const std::wstring& dllPath);

}  // namespace swfsaver::flash
