// The program's error classes. Failures are exceptions, as in the application framework the
// program is modelled on: each carries its class name and its message (UTF-8 text), and the
// code address it was raised at, which the last-chance report shows.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

namespace swfsaver {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message)
      : message_(std::move(message)), address_(__builtin_return_address(0)) {}

  virtual const char* ClassName() const noexcept { return "Exception"; }
  const std::string& Message() const noexcept { return message_; }
  // Where the error was raised: the return address of the constructor's caller.
  const void* Address() const noexcept { return address_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
  const void* address_;
};

#define SWFSAVER_EXCEPTION_CLASS(Name, Base)                                  \
  class Name : public Base {                                                  \
   public:                                                                    \
    using Base::Base;                                                         \
    const char* ClassName() const noexcept override { return #Name; }         \
  };

SWFSAVER_EXCEPTION_CLASS(ERegistryException, Exception)
SWFSAVER_EXCEPTION_CLASS(EStreamError, Exception)
SWFSAVER_EXCEPTION_CLASS(EFOpenError, EStreamError)
SWFSAVER_EXCEPTION_CLASS(EReadError, EStreamError)
SWFSAVER_EXCEPTION_CLASS(EConvertError, Exception)

#undef SWFSAVER_EXCEPTION_CLASS

// An OLE call failed; carries the HRESULT the control or the system returned.
class EOleSysError : public Exception {
 public:
  EOleSysError(std::string message, int32_t hresult)
      : Exception(std::move(message)), hresult_(hresult) {}
  const char* ClassName() const noexcept override { return "EOleSysError"; }
  int32_t ErrorCode() const noexcept { return hresult_; }

 private:
  int32_t hresult_;
};

}  // namespace swfsaver
