// The application object: the title, the message loop with the ApplicationEvents component's
// hook and idle notification, and the default error report for errors that escape an event
// handler.
#pragma once

#include <exception>
#include <string>

#include "platform/Platform.h"

namespace swfsaver {

// The ApplicationEvents component: receives the loop's message hook and idle notification.
class ApplicationEvents {
 public:
  virtual ~ApplicationEvents() = default;
  virtual void OnMessage(const platform::Message& message, bool& handled) = 0;
  virtual void OnIdle(bool& done) = 0;
};

// Takes the default error report's text where no message box may be shown: a program that
// runs unattended and must end on the first input cannot wait for a click on OK.
class ErrorRecorder {
 public:
  virtual ~ErrorRecorder() = default;
  // text: the report's text (UTF-8). Must not raise: there is nowhere left to report to.
  virtual void Record(const std::string& text) noexcept = 0;
};

class TApplication : public platform::ApplicationHandler {
 public:
  explicit TApplication(platform::Platform& platform);
  ~TApplication() override;
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The program file's name without directory, cut at its first full stop, every character
  // after the first in lower case (ANSI).
  const std::string& Title() const { return title_; }

  void Initialize();
  void Run();
  void Terminate();
  // Connects (or, with nullptr, disconnects) the ApplicationEvents component.
  void SetEvents(ApplicationEvents* events) { events_ = events; }
  // Connects (or, with nullptr, disconnects) the recorder that takes the default error
  // report's text instead of the message box.
  void SetErrorRecorder(ErrorRecorder* recorder) { recorder_ = recorder; }
  // The default error report: stop icon, OK, captioned with the title; recorded instead while
  // a recorder is connected.
  void ShowException(const std::exception& error);

  void OnMessage(const platform::Message& message, bool& handled) override;
  void OnIdle(bool& done) override;
  void OnException(const std::exception& error) override;

 private:
  platform::Platform& platform_;
  std::string title_;
  ApplicationEvents* events_ = nullptr;
  ErrorRecorder* recorder_ = nullptr;
};

}  // namespace swfsaver
