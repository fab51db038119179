// The in-process server's exports: the class factory for the control's class id, unloading,
// and self-registration (regsvr32: machine-wide; regsvr32 /n /i:user: the current user only).
#include <windows.h>
#include <olectl.h>

#include <new>
#include <string>

#include "flashapi/ShockwaveFlash.h"
#include "standin/flash/Module.h"
#include "standin/flash/ServerRegistration.h"
#include "standin/flash/StandinControl.h"

namespace swfsaver::flash {
namespace {

HINSTANCE moduleInstance = nullptr;
LONG moduleLocks = 0;

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(moduleInstance, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// A static object: its lifetime is the DLL's, and its references only lock the module.
class ClassFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    LockModule();
    return 2;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    UnlockModule();
    return 1;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* control = new (std::nothrow) StandinControl();
    if (!control) return E_OUTOFMEMORY;
    const HRESULT hr = control->QueryInterface(iid, object);
    control->Release();  // the creation reference; the interface handed out keeps it alive
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      LockModule();
    } else {
      UnlockModule();
    }
    return S_OK;
  }
};

ClassFactory classFactory;

HRESULT Install(bool install, const wchar_t* commandLine) {
  RegistrationScope scope = RegistrationScope::kMachine;
  if (commandLine && CompareStringOrdinal(commandLine, -1, L"user", -1, TRUE) == CSTR_EQUAL) {
    scope = RegistrationScope::kUser;
  } else if (commandLine && *commandLine &&
             CompareStringOrdinal(commandLine, -1, L"machine", -1, TRUE) != CSTR_EQUAL) {
    return E_INVALIDARG;
  }
  return install ? RegisterServer(scope, ModulePath()) : UnregisterServer(scope, ModulePath());
}

}  // namespace

HINSTANCE ModuleInstance() { return moduleInstance; }
void LockModule() { InterlockedIncrement(&moduleLocks); }
void UnlockModule() { InterlockedDecrement(&moduleLocks); }

}  // namespace swfsaver::flash

using namespace swfsaver::flash;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    swfsaver::flash::moduleInstance = instance;
    DisableThreadLibraryCalls(instance);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // FreeLibrary, not process exit: the process goes on and may load the DLL again.
    UnregisterControlWindowClass();
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!IsEqualCLSID(clsid, swfsaver::flashapi::kClsidShockwaveFlash)) return CLASS_E_CLASSNOTAVAILABLE;
  return classFactory.QueryInterface(iid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return swfsaver::flash::moduleLocks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return Install(true, nullptr); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return Install(false, nullptr); }

// regsvr32 /n /i:user calls DllInstall(TRUE, L"user"); /u /n /i:user calls it with FALSE.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
  return Install(install != FALSE, commandLine);
}
