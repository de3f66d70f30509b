#include "xmlerrors.h"

#include "errors.h"

#include <mutex>

namespace fmx {

int tdek_XMLReadError = -1;

void registerXMLExceptions() {
    static std::once_flag once;
    std::call_once(once, [] {
        regException(tdek_XMLReadError, QStringLiteral("tdek_XMLReadError"),
                     QStringLiteral("XML read error"));
    });
}

void raiseXMLReadError(const QString& message) {
    registerXMLExceptions();
    throw TBaseDataError(tdek_XMLReadError, message);
}

TXMLFileError::TXMLFileError(const QString& fileName, const QString& text)
    : std::runtime_error(text.toStdString()), fFileName(fileName), fText(text) {}

} // namespace fmx
