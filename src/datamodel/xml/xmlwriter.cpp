#include "xmlwriter.h"

#include "fmx_assert.h"
#include "xmlescape.h"

#include <QSaveFile>

namespace fmx {

namespace {
const QByteArray kEol = QByteArrayLiteral("\r\n");
}

// A name with markup bytes or whitespace, or one that starts with "!" or "?" (the reader would take
// "<!name" or "<?name" for a comment or a processing instruction), writes a file that does not read back.
void TXMLWriter::checkName(const QByteArray& name) const {
    bool valid = !name.isEmpty() && !name.startsWith('!') && !name.startsWith('?');
    for (const char c : name)
        if (c == '<' || c == '>' || c == '/' || c == '=' || c == '"' || c == '&' || c == '\t' || c == '\n' ||
            c == '\r' || c == ' ')
            valid = false;
    FMX_ASSERT(valid, QStringLiteral("TXMLParser: ongeldige naam \"%1\"").arg(QString::fromUtf8(name)));
}

void TXMLWriter::closeStartNode() {
    if (!fStartTagOpen) return;
    fBuffer += '>';
    fBuffer += kEol;
    fStartTagOpen = false;
}

void TXMLWriter::addNode(const QByteArray& name) {
    checkName(name);
    closeStartNode();
    fBuffer += '<';
    fBuffer += name;
    fStartTagOpen = true;
    fAnyAttr = false;
    fNodeStack.append(name);
}

void TXMLWriter::addNodeAttr(const QByteArray& name, const QString& value) {
    FMX_ASSERT(fStartTagOpen, QStringLiteral("TXMLParser.closeStartNode: start tag not open"));
    checkName(name);
    fBuffer += ' ';
    fBuffer += name;
    fBuffer += "=\"";
    fBuffer += escapeXMLText(value);
    fBuffer += '"';
    fAnyAttr = true;
}

void TXMLWriter::closeValueNode(const QString& value) {
    FMX_ASSERT(!fNodeStack.isEmpty(), QStringLiteral("TXMLParser.closeValueNode: no node left on stack"));
    FMX_ASSERT(fStartTagOpen, QStringLiteral("TXMLParser.closeValueNode: start tag not open"));
    if (fNodeStack.isEmpty() || !fStartTagOpen) return;
    const QByteArray name = fNodeStack.takeLast();
    if (fAnyAttr || !value.isEmpty()) {
        fBuffer += '>';
        fBuffer += escapeXMLText(value);
        fBuffer += "</";
        fBuffer += name;
        fBuffer += '>';
    } else {
        fBuffer += "/>";
    }
    fBuffer += kEol;
    fStartTagOpen = false;
}

// One element with a text: empty elements are written as <name/>; otherwise the escaped text sits
// between `open` and `close` (plain "<name>" / "</name>", or wrapped in a character-data section).
void TXMLWriter::addTextNode(const QByteArray& name, const QString& value, const char* open,
                             const char* close) {
    checkName(name);
    closeStartNode();
    fBuffer += '<';
    fBuffer += name;
    if (value.isEmpty()) {
        fBuffer += "/>";
    } else {
        fBuffer += open;
        fBuffer += escapeXMLText(value);
        fBuffer += close;
        fBuffer += name;
        fBuffer += '>';
    }
    fBuffer += kEol;
}

void TXMLWriter::addValueNode(const QByteArray& name, const QString& value) {
    addTextNode(name, value, ">", "</");
}

void TXMLWriter::addCDataValueNode(const QByteArray& name, const QString& value) {
    addTextNode(name, value, "><![CDATA[", "]]></");
}

void TXMLWriter::closeNode() {
    FMX_ASSERT(!fNodeStack.isEmpty(), QStringLiteral("TXMLParser.closeNode: no node left on stack"));
    if (fNodeStack.isEmpty()) return;
    closeStartNode();
    fBuffer += "</";
    fBuffer += fNodeStack.takeLast();
    fBuffer += '>';
    fBuffer += kEol;
}

void TXMLWriter::closeNodeFinal() {
    FMX_ASSERT(
        fNodeStack.size() == 1,
        QStringLiteral("TXMLParser.closeNodeFinal: %1 open elementen, verwacht 1").arg(fNodeStack.size()));
    closeNode();
}

void TXMLWriter::save(const QString& fileName) const {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw TXMLFileError(
            fileName, QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    // QFileDevice reports a short write (a full disk, a file-size limit) as success; the size of the
    // temporary file tells, before it replaces the old one.
    if (file.write(fBuffer) != fBuffer.size() || !file.flush() || file.size() != fBuffer.size()) {
        file.cancelWriting();
        file.commit();
        throw TXMLFileError(fileName,
                            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
    }
    if (!file.commit())
        throw TXMLFileError(fileName,
                            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

} // namespace fmx
