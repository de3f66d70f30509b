// Logging of handled exceptions.
//
// C++ offers no hook into unwinding, so every handler of ours calls logException (or
// logCurrentException in a catch (...)) when it takes an exception. Each exception object is logged
// once, however many handlers see it on its way up; errors of kind tdek_NoRights and TAbort are
// never logged. The entry is "--[ EXCEPTION ]---...", a line with the class and the message, and
// the call stack: for TBaseDataError where it was created, for other exceptions where it is
// handled.
#pragma once

#include <exception>

namespace fmx {

// Call inside a catch block (the exception being handled is recognised when seen again).
void logException(const std::exception& e);
// Call inside catch (...): logs the exception being handled, whatever its type.
void logCurrentException();

// Makes an exception that no handler takes end the process only after it is logged and the log is
// written (std::set_terminate). Start-up installs it.
void installTerminateHandler();

} // namespace fmx
