#include "saver/Unit1.h"

namespace swfsaver {

TForm1::TForm1(platform::Platform& platform, TApplication& application)
    : platform_(platform), application_(application) {
  window_ = platform_.application.CreateSaverWindow(*this);
  application_.SetEvents(this);
}

TForm1::~TForm1() { application_.SetEvents(nullptr); }

void TForm1::FormCreate() {}
void TForm1::FormActivate() {}
void TForm1::FormClose() {}
void TForm1::FormKeyDown(uint16_t, uint32_t) {}
void TForm1::FormMouseDown(platform::MouseButton, uint32_t, int32_t, int32_t) {}
void TForm1::FormMouseMove(uint32_t, int32_t, int32_t) {}
void TForm1::Panel1MouseDown(platform::MouseButton, uint32_t, int32_t, int32_t) {}
void TForm1::Panel1MouseMove(uint32_t, int32_t, int32_t) {}
void TForm1::ButtonCloseClick() {}
void TForm1::WMUser1() {}
void TForm1::WMUser2() {}
void TForm1::ApplicationEvents1Idle(bool&) {}
void TForm1::ApplicationEvents1Message(const platform::Message&, bool&) {}
void TForm1::PlayMovie(const std::string&, bool) {}
void TForm1::LoadSettings() {}
void TForm1::RemoveMissingFiles() {}
void TForm1::RequestClose() {}
void TForm1::MouseMoved(int32_t, int32_t) {}
void TForm1::PasswordStep() {}

}  // namespace swfsaver
