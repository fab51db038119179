// OLE failures become EOleSysError with the HRESULT, as every failing call of the hosted
// control must.
#pragma once

#include <windows.h>

#include <string>

namespace swfsaver::win32 {

// The system's text for an HRESULT, in UTF-8, or "OLE error 80040154" where it has none.
std::string OleErrorMessage(HRESULT result);

// Raises EOleSysError when result is a failure code.
void OleCheck(HRESULT result);
[[noreturn]] void ThrowOleError(HRESULT result, std::string message = {});

}  // namespace swfsaver::win32
