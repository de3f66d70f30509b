// Errors of the XML reader and writer.
#pragma once

#include <QString>

#include <stdexcept>

namespace fmx {

// Kind of every parse error of the reader: "XML read error". -1 until registerXMLExceptions ran;
// the reader registers it on first use.
extern int tdek_XMLReadError;

// Registers tdek_XMLReadError once; idempotent and thread-safe.
void registerXMLExceptions();

// Throws TBaseDataError(tdek_XMLReadError, message), registering the kind first when needed.
[[noreturn]] void raiseXMLReadError(const QString& message);

// A file that cannot be opened, read or written. The text names the file and the system's reason.
class TXMLFileError : public std::runtime_error {
public:
    TXMLFileError(const QString& fileName, const QString& text);
    const QString& fileName() const noexcept { return fFileName; }
    const QString& text() const noexcept { return fText; }

private:
    QString fFileName;
    QString fText;
};

} // namespace fmx
