#include "xmlreader.h"

#include <QStringDecoder>

#include "fmx_assert.h"
#include "xmlescape.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace fmx {

namespace {

bool isWhitespace(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

QString quoted(const QByteArray& name) {
    return QLatin1Char('"') + QString::fromUtf8(name) + QLatin1Char('"');
}

const QLatin1String kCDataStart("<![CDATA[");

} // namespace

TXMLReader TXMLReader::load(const QString& fileName) {
    // Devices and pipes report size 0 and may never end; the data-tree files are regular files.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        throw TXMLFileError(fileName,
                            QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw TXMLFileError(fileName,
                            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    if (file.size() > kMaxFileBytes)
        raiseXMLReadError(QStringLiteral("TXMLParser.load: file larger than %1 MiB: %2")
                              .arg(kMaxFileBytes / (1024 * 1024))
                              .arg(fileName));
    // Read in chunks, so a file that grows while it is read still stops at the limit.
    QByteArray data;
    constexpr qint64 kChunk = 1024 * 1024;
    for (;;) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                throw TXMLFileError(
                    fileName,
                    QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()));
            break;
        }
        if (data.size() + chunk.size() > kMaxFileBytes)
            raiseXMLReadError(QStringLiteral("TXMLParser.load: file larger than %1 MiB: %2")
                                  .arg(kMaxFileBytes / (1024 * 1024))
                                  .arg(fileName));
        data += chunk;
    }
    return TXMLReader(std::move(data));
}

TXMLReader TXMLReader::fromBytes(QByteArray data) {
    if (data.size() > kMaxFileBytes)
        raiseXMLReadError(
            QStringLiteral("TXMLParser.load: data larger than %1 MiB").arg(kMaxFileBytes / (1024 * 1024)));
    return TXMLReader(std::move(data));
}

TXMLReader::TXMLReader(QByteArray data) : fBuffer(std::move(data)) {
    registerXMLExceptions();
    fBufferSize = static_cast<qint32>(fBuffer.size());
    initScan();
}

void TXMLReader::initScan() {
    doePreScan();
    fBufferPos = 1;
    fEof = fBufferSize == 0;
    fCurrChar = fEof ? 0 : fBuffer.at(0);
}

void TXMLReader::doePreScan() {
    char* data = fBuffer.data();
    auto blank = [data](qsizetype from, qsizetype to) {
        std::memset(data + from, ' ', size_t(to - from + 1));
    };
    auto unclosed = [](const char* opener) {
        raiseXMLReadError(QStringLiteral("TXMLParser.doePreScan: expected closing tag after \"%1\"")
                              .arg(QLatin1String(opener)));
    };

    if (fBufferSize > 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) blank(0, 2);

    // Processing instructions, the XML declaration among them.
    for (qsizetype from = 0;;) {
        const qsizetype start = fBuffer.indexOf("<?", from);
        if (start < 0) break;
        const qsizetype end = fBuffer.indexOf('>', start + 2);
        if (end < 0) unclosed("<?");
        blank(start, end);
        from = end + 1;
    }

    // Character-data sections become text "!![CDATA[...]]!" that readTextValue unwraps.
    for (qsizetype from = 0;;) {
        const qsizetype start = fBuffer.indexOf(kCDataStart, from);
        if (start < 0) break;
        const qsizetype end = fBuffer.indexOf("]]>", start + kCDataStart.size());
        if (end < 0) unclosed("<![CDATA[");
        data[start] = '!';
        data[end + 2] = '!';
        fHasCData = true;
        from = end + 3;
    }

    // Comments and document types; a ">" inside a comment ends the blanking there.
    for (qsizetype from = 0;;) {
        const qsizetype start = fBuffer.indexOf("<!", from);
        if (start < 0) break;
        const qsizetype end = fBuffer.indexOf('>', start + 2);
        if (end < 0) unclosed("<!");
        blank(start, end);
        from = end + 1;
    }
}

void TXMLReader::setPos(qint32 pos) {
    fBufferPos = pos;
    fCurrChar = fBuffer.at(pos - 1);
}

void TXMLReader::getNextChar() {
    if (fEof || fBufferPos >= fBufferSize) raiseXMLReadError(QStringLiteral("TXMLParser.getNextChar: eof"));
    setPos(fBufferPos + 1);
}

char TXMLReader::peekNextChar() {
    if (fEof || fBufferPos >= fBufferSize) raiseXMLReadError(QStringLiteral("TXMLParser.getNextChar: eof"));
    return fBuffer.at(fBufferPos);
}

void TXMLReader::skipWhitespace() {
    const char* data = fBuffer.constData();
    qint32 pos = fBufferPos;
    while (!fEof && isWhitespace(data[pos - 1])) {
        if (pos >= fBufferSize) {
            fEof = true;
            fCurrChar = 0;
            fBufferPos = pos;
            return;
        }
        ++pos;
    }
    if (!fEof) setPos(pos);
}

// Steps past the current byte and skips whitespace; at the last byte of the data, ends at eof instead.
void TXMLReader::stepPastAndSkipWhitespace() {
    if (fEof) return;
    if (fBufferPos >= fBufferSize) {
        fEof = true;
        fCurrChar = 0;
        return;
    }
    getNextChar();
    skipWhitespace();
}

// At the byte before the name ("<" or "/"): reads the name up to whitespace, "/" or ">" and stops there.
QByteArray TXMLReader::readTagName() {
    getNextChar();
    const char* data = fBuffer.constData();
    const qint32 start = fBufferPos - 1; // 0-based
    qint32 end = start;
    while (end < fBufferSize) {
        const char c = data[end];
        if (isWhitespace(c) || c == '/' || c == '>') break;
        if (end - start >= kMaxNameBytes)
            raiseXMLReadError(
                QStringLiteral("TXMLParser.nextNode: name longer than %1 bytes").arg(kMaxNameBytes));
        ++end;
    }
    if (end >= fBufferSize) raiseXMLReadError(QStringLiteral("TXMLParser.getNextChar: eof"));
    setPos(end + 1);
    return QByteArray(data + start, end - start);
}

// From the current byte up to the first "="; stops at the "=".
QByteArray TXMLReader::readAttrName() {
    const qint32 start = fBufferPos - 1;
    const qsizetype limit = qMin<qsizetype>(fBufferSize, start + kMaxNameBytes + 1);
    const void* found = std::memchr(fBuffer.constData() + start, '=', size_t(limit - start));
    if (!found) {
        if (limit < fBufferSize)
            raiseXMLReadError(
                QStringLiteral("TXMLParser.nextNode: name longer than %1 bytes").arg(kMaxNameBytes));
        raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: expected ="));
    }
    const qint32 end = static_cast<qint32>(static_cast<const char*>(found) - fBuffer.constData());
    setPos(end + 1);
    return fBuffer.mid(start, end - start);
}

QString TXMLReader::decodeValue(qint32 from, qint32 length) const {
    if (length > kMaxValueBytes)
        raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: value longer than %1 MiB at position %2")
                              .arg(kMaxValueBytes / (1024 * 1024))
                              .arg(from + 1));
    // A value may itself begin with U+FEFF; only the file's own byte-order mark is dropped (pre-scan).
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8(QByteArrayView(fBuffer.constData() + from, length));
}

// At the byte after "=": reads a value in double quotes and stops at the closing quote.
QString TXMLReader::readAttrValue() {
    if (fCurrChar != '"') raiseXMLReadError(QStringLiteral("TXMLParser.readAttrValue: expected \""));
    const qint32 start = fBufferPos; // 0-based index of the first byte after the quote
    const qsizetype end = fBuffer.indexOf('"', start);
    if (end < 0) raiseXMLReadError(QStringLiteral("TXMLParser.readAttrValue: eof"));
    const QString raw = decodeValue(start, static_cast<qint32>(end - start));
    setPos(static_cast<qint32>(end) + 1);
    return unescapeXMLText(raw);
}

// From the current byte up to the next "<"; stops at the "<".
QString TXMLReader::readTextValue() {
    if (fEof) return QString();
    const qint32 start = fBufferPos - 1;
    const qsizetype end = fBuffer.indexOf('<', start);
    if (end < 0) raiseXMLReadError(QStringLiteral("TXMLParser.getNextChar: eof"));
    QString raw = decodeValue(start, static_cast<qint32>(end - start));
    setPos(static_cast<qint32>(end) + 1);
    if (fHasCData && raw.size() > 11 && raw.startsWith(QLatin1String("!![CDATA[")))
        raw = raw.mid(9, raw.size() - 12);
    return unescapeXMLText(raw);
}

void TXMLReader::pushNode(const QByteArray& name) {
    if (fNodeStackPtr + 1 >= kMaxDepth)
        raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: elements nested deeper than %1 at position %2")
                              .arg(kMaxDepth)
                              .arg(fBufferPos));
    ++fNodeStackPtr;
    if (fNodeStackPtr < fNodeStack.size())
        fNodeStack[fNodeStackPtr] = name;
    else
        fNodeStack.append(name);
}

void TXMLReader::nextNode() {
    fNodeValue.clear();
    fNumAttr = 0;
    fHasChildren = false;
    skipWhitespace();
    if (fEof || fCurrChar != '<') raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: expected <"));
    fNodeName = readTagName();
    skipWhitespace();
    if (fEof) raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: eof"));

    bool emptyElement = false;
    if (fCurrChar == '/') {
        getNextChar();
        if (fCurrChar != '>') raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: expected >"));
        emptyElement = true;
    } else {
        while (fCurrChar != '>') {
            const QByteArray name = readAttrName();
            getNextChar();
            const QString value = readAttrValue();
            if (fNumAttr >= kMaxAttributes)
                raiseXMLReadError(
                    QStringLiteral("TXMLParser.nextNode: more than %1 attributes").arg(kMaxAttributes));
            if (fNumAttr < fAttrNames.size()) {
                fAttrNames[fNumAttr] = name;
                fAttrValues[fNumAttr] = value;
            } else {
                fAttrNames.append(name);
                fAttrValues.append(value);
            }
            ++fNumAttr;
            stepPastAndSkipWhitespace();
            if (fEof) raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: eof"));
        }
    }

    // Past ">"; leading whitespace of a text value is lost here.
    stepPastAndSkipWhitespace();
    if (emptyElement) return;

    if (!fEof && fCurrChar == '<' && peekNextChar() != '/') {
        pushNode(fNodeName);
        fHasChildren = true;
        return;
    }

    fNodeValue = readTextValue();
    if (fEof || fCurrChar != '<') raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: expected <"));
    getNextChar();
    if (fCurrChar != '/') raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: expected / in closing tag"));
    if (readTagName() != fNodeName)
        raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: expected closing tag with ") +
                          quoted(fNodeName));
    if (fCurrChar != '>') raiseXMLReadError(QStringLiteral("TXMLParser.nextNode: expected >"));
    stepPastAndSkipWhitespace();
}

bool TXMLReader::nextChild() {
    if (fEof || fCurrChar != '<') raiseXMLReadError(QStringLiteral("TXMLParser.nextChild: expected <"));
    if (peekNextChar() != '/') {
        nextNode();
        return true;
    }
    getNextChar();
    const QByteArray name = readTagName();
    if (fNodeStackPtr < 0) raiseXMLReadError(QStringLiteral("TXMLParser.nextChild: stack empty"));
    // The message names the element whose end tag is missing.
    const QByteArray& open = fNodeStack.at(fNodeStackPtr);
    if (name != open)
        raiseXMLReadError(QStringLiteral("TXMLParser.nextChild: expected closing tag with ") + quoted(open));
    --fNodeStackPtr;
    if (fCurrChar != '>') raiseXMLReadError(QStringLiteral("TXMLParser.nextChild: expected >"));
    stepPastAndSkipWhitespace();
    return false;
}

void TXMLReader::saveState() {
    FMX_ASSERT(!fLastState, QStringLiteral("TXMLReader.saveState: er is al een toestand bewaard"));
    fLastState = static_cast<const TXMLReaderState&>(*this);
}

void TXMLReader::restoreState() {
    FMX_ASSERT(fLastState.has_value(), QStringLiteral("TXMLReader.restoreState: geen bewaarde toestand"));
    if (!fLastState) return;
    static_cast<TXMLReaderState&>(*this) = std::move(*fLastState);
    fLastState.reset();
}

QByteArray TXMLReader::attrName(qint32 index) const {
    FMX_ASSERT(index >= 0 && index < fNumAttr, QStringLiteral("TXMLReader.getAttrName: index invalid"));
    if (index < 0 || index >= fNumAttr) return QByteArray();
    return fAttrNames.at(index);
}

QString TXMLReader::attrValueIdx(qint32 index) const {
    FMX_ASSERT(index >= 0 && index < fNumAttr, QStringLiteral("TXMLReader.getAttrValueIdx: index invalid"));
    if (index < 0 || index >= fNumAttr) return QString();
    return fAttrValues.at(index);
}

qint32 TXMLReader::attrValueIndex(const QByteArray& name) const {
    for (qint32 i = 0; i < fNumAttr; ++i)
        if (fAttrNames.at(i) == name) return i;
    return -1;
}

QString TXMLReader::attrValueName(const QByteArray& name) const {
    const qint32 index = attrValueIndex(name);
    return index < 0 ? QString() : fAttrValues.at(index);
}

} // namespace fmx
