// The Shockwave Flash control hosted through OLE on the saver's panel: created by its class
// identifier, started from the stored control data, activated in place, and torn down in the
// order InPlaceDeactivate, Close, SetClientSite(nullptr), Release. Properties go through
// IDispatch by dispatch identifier, Play and CurrentFrame through the held IShockwaveFlash.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include "flashapi/ShockwaveFlash.h"
#include "platform/FlashControl.h"
#include "platform/win32/OleControlSite.h"
#include "platform/win32/OleRef.h"

namespace swfsaver::win32 {

// Where the form resource puts the control on the panel until it is laid out.
inline constexpr RECT kFlashDesignBounds = {24, 8, 24 + 193, 8 + 169};

class Win32FlashControl final : public platform::FlashControl {
 public:
  // Creates the control in panel (frame: the top-level window around it) at its design
  // bounds and activates it in place. Raises EOleSysError with the HRESULT of the first call
  // that fails; nothing is left behind then.
  Win32FlashControl(HWND panel, HWND frame, const CLSID& controlClass = flashapi::kClsidShockwaveFlash);
  ~Win32FlashControl() override;
  Win32FlashControl(const Win32FlashControl&) = delete;
  Win32FlashControl& operator=(const Win32FlashControl&) = delete;

  void SetBackgroundColor(int32_t color) override;
  void SetMovie(const std::string& ansiPath) override;
  void Play() override;
  int32_t TotalFrames() override;
  int32_t CurrentFrame() override;

  void SetLeft(int32_t left) override;
  void SetTop(int32_t top) override;
  void SetWidth(int32_t width) override;
  void SetHeight(int32_t height) override;
  void AlignToClient() override;
  void MuteSound() override;

  // The panel changed size: an aligned control follows it.
  void PanelResized();
  // Offers a key message to the control's accelerators; true when the control took it.
  bool TranslateAccelerator(MSG& message);
  // The control's own window while it is in place, else null.
  HWND Window();
  // Where the control sits on the panel now.
  RECT Bounds() const;
  OleControlSite& Site() { return *site_.Get(); }

 private:
  void Create(const CLSID& controlClass);
  void LoadStoredData();
  void Teardown();
  void ApplyBounds();
  void PutProperty(DISPID id, VARIANT& value);
  int32_t GetIntegerProperty(DISPID id);

  HWND panel_;
  OleRef<OleControlSite> site_;
  OleRef<IOleObject> object_;
  OleRef<IOleInPlaceObject> inPlace_;
  OleRef<IOleInPlaceActiveObject> activeObject_;
  OleRef<IDispatch> dispatch_;
  OleRef<flashapi::IShockwaveFlash> shockwaveFlash_;
  RECT bounds_ = kFlashDesignBounds;
  bool alignedToClient_ = false;
  bool sessionMuted_ = false;  // unmuted again at teardown, so no later run inherits it
};

}  // namespace swfsaver::win32
