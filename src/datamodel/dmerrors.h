// The data model's exceptions and error kinds.
#pragma once

#include "errors.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace fmx {

class TAbstractRootObj;

// Kinds registered by registerDataModelExceptions(), in this order.
extern int tdek_InvalidEnumValue;
extern int tdek_CheckFailure;
extern int tdek_Cancelled;
extern int tdek_InvalidFormat;
extern int tdek_FileNotFound;

// Registers the shell's and the data model's kinds once (idempotent).
void registerDataModelExceptions();

// Validation messages that the translation layer reads: {id, Dutch text}.
struct TValMsgRec {
    int32_t id = 0;
    QString msg;
};
// Registers the framework's messages once (34 "Ongeldige verwijzingen"); idempotent.
void registerValidationMessages();
// Adds or replaces a message.
void regValMsg(int32_t id, const QString& msg);
const std::vector<TValMsgRec>& validationMessages();
// The text of a message, empty when unknown.
QString valMsgText(int32_t id);

// A data error about one node (not owned; may be null).
class TDataError : public TBaseDataError {
public:
    TDataError(int kind, const QString& message, TAbstractRootObj* obj = nullptr)
        : TBaseDataError(kind, message), fObj(obj) {}
    TAbstractRootObj* obj() const noexcept { return fObj; }

private:
    TAbstractRootObj* fObj;
};

// A process that the user cancelled.
class TCancelError : public TDataError {
public:
    explicit TCancelError(const QString& message = {}, TAbstractRootObj* obj = nullptr);
};

// Plain message exceptions of the value layer: limits and text conversions.
class TDmMessageError : public std::exception {
public:
    explicit TDmMessageError(const QString& message) : fMessage(message), fWhat(message.toUtf8()) {}
    const QString& message() const noexcept { return fMessage; }
    const char* what() const noexcept override { return fWhat.constData(); }

private:
    QString fMessage;
    QByteArray fWhat;
};

// A value outside its limits or a text longer than its field.
class ERangeError : public TDmMessageError {
public:
    using TDmMessageError::TDmMessageError;
};

// A conversion that a value class refuses, or a text that does not parse.
class EConvertError : public TDmMessageError {
public:
    using TDmMessageError::TDmMessageError;
};

} // namespace fmx
