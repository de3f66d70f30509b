// Error kinds and the framework's data error.
//
// A kind is a registered pair (variable name beginning with "tdek_", default English text). Its
// number is its position in registration order. Each kind lives in an int that starts at -1 and
// receives its number from regException.
#pragma once

#include "callstack.h"

#include <QByteArray>
#include <QString>

#include <exception>

namespace fmx {

struct TExceptionRec {
    QString fVarName;
    QString fDefText;
};

// Kinds registered by the shell, in this order, by registerShellExceptions().
extern int tdek_OngeldigeParameter;
extern int tdek_NoRights;
extern int tdek_DataDirFailure;

// Registers a kind. Registering a variable that is no longer -1 is a programming error (assertion).
void regException(int& kind, const QString& varName, const QString& defaultText);
int getNumRegExceptions();
// An out-of-range kind is a programming error (assertion).
const TExceptionRec& getExceptionRec(int kind);
// The text shown for a kind: its default text passed through the installed translator.
QString getExceptionText(int kind);

// The translation layer installs this to translate kind texts; by default the default text is used.
using TExceptionTextTranslator = QString (*)(const TExceptionRec& rec);
void setExceptionTextTranslator(TExceptionTextTranslator translator);

// Registers the shell's own kinds once (idempotent).
void registerShellExceptions();

// Bad data, failed conversions and calculation failures. The text is the kind's text, ": " and the
// message, or the kind's text alone without a message. Creating one writes the log line
// "TDataError " + text.
class TBaseDataError : public std::exception {
public:
    explicit TBaseDataError(int kind);
    TBaseDataError(int kind, const QString& message);

    int kind() const noexcept { return fKind; }
    // The message as given (without the kind's text).
    const QString& message() const noexcept { return fMessage; }
    // The full text shown to the user.
    const QString& text() const noexcept { return fText; }
    const char* what() const noexcept override { return fWhat.constData(); }
    // Where the error was created, for the exception log.
    const TCallStack& raiseStack() const noexcept { return fRaiseStack; }

private:
    void build();

    int fKind;
    QString fMessage;
    QString fText;
    QByteArray fWhat;
    TCallStack fRaiseStack;
};

// The silent abort: ends an operation without a message and is never logged.
class TAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

} // namespace fmx
