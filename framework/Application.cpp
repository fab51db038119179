#include "framework/Application.h"

#include "framework/ErrorReports.h"

namespace swfsaver {

TApplication::TApplication(platform::Platform& platform)
    : platform_(platform),
      title_(ApplicationTitle(platform.kernel.ModuleFileName(), platform.codePage)) {
  platform_.application.SetHandler(this);
}

TApplication::~TApplication() { platform_.application.SetHandler(nullptr); }

void TApplication::Initialize() { platform_.application.Initialize(title_); }

void TApplication::Run() { platform_.application.Run(); }

void TApplication::Terminate() { platform_.application.Terminate(); }

void TApplication::ShowException(const std::exception& error) {
  if (recorder_ != nullptr) {
    recorder_->Record(DefaultErrorReportText(error));
    return;
  }
  platform_.application.ShowMessageBox(platform_.codePage.AnsiToUtf8(title_),
                                       DefaultErrorReportText(error),
                                       platform::MessageBoxKind::Error);
}

void TApplication::OnMessage(const platform::Message& message, bool& handled) {
  if (events_ != nullptr) events_->OnMessage(message, handled);
}

void TApplication::OnIdle(bool& done) {
  if (events_ != nullptr) events_->OnIdle(done);
}

void TApplication::OnException(const std::exception& error) { ShowException(error); }

}  // namespace swfsaver
