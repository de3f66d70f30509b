// Forward-only pull reader for the data-tree XML files.
//
// The reader holds the whole file in memory and understands exactly what TXMLWriter produces: elements,
// attributes in double quotes, text values with the references &amp; &quot; &lt; &gt;. Before parsing,
// a pre-scan blanks out a UTF-8 byte-order mark, processing instructions ("<?...>"), comments and
// document types ("<!...>"), and turns character-data sections into plain text that nextNode unwraps.
// Text mixed with child elements is not readable; an element with attributes needs a closing tag.
//
// Reading a tree: nextNode() for an element; when hasChildren(), call nextChild() until it yields
// false, handling each child the same way.
//
// Every parse error throws TBaseDataError of kind tdek_XMLReadError with a message naming the step.
// Misuse (attribute index out of range, unbalanced saveState/restoreState) is a failed assertion.
//
// Limits against hostile files (each refused with a tdek_XMLReadError, never a crash or a hang):
// - kMaxFileBytes: larger files are refused before they are read into memory. The application's files
//   are far smaller; the limit keeps every position within 32 bits.
// - kMaxValueBytes: one text value or attribute value, counted in bytes of the file. Generous for inline
//   binary values; it bounds the memory one value takes after decoding.
// - kMaxNameBytes: one element or attribute name. Names are definition names of a few dozen bytes.
// - kMaxAttributes: attributes of one element. Data-tree elements carry two or three.
// - kMaxDepth: open elements with children. Keeps the stack of the reader and of the recursive
//   loaders that drive it bounded.
#pragma once

#include "xmlerrors.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace fmx {

// The part of the reader that saveState/restoreState copies.
struct TXMLReaderState {
    QList<QByteArray> fNodeStack; // names of the open elements that have children; reused
    qint32 fNodeStackPtr = -1;    // index of the innermost open element; -1 = none
    QList<QByteArray> fAttrNames; // reused: may hold more entries than fNumAttr
    QList<QString> fAttrValues;
    qint32 fNumAttr = 0;
    QByteArray fNodeName;
    QString fNodeValue;
    char fCurrChar = 0; // the byte at fBufferPos; 0 at the end of data
    bool fEof = false;
    qint32 fBufferPos = 1; // 1-based position of the current byte
    bool fHasChildren = false;
};

class TXMLReader : private TXMLReaderState {
public:
    static constexpr qint64 kMaxFileBytes = qint64(256) * 1024 * 1024;
    static constexpr qint64 kMaxValueBytes = qint64(32) * 1024 * 1024;
    static constexpr qint64 kMaxNameBytes = 1024;
    static constexpr qint32 kMaxAttributes = 1024;
    static constexpr qint32 kMaxDepth = 1000;

    // Reads the whole file and pre-scans it. Throws TXMLFileError when the file cannot be opened or
    // read or is no regular file (a directory, device or pipe), TBaseDataError (tdek_XMLReadError) when it
    // exceeds kMaxFileBytes or the pre-scan fails.
    static TXMLReader load(const QString& fileName);
    // The same for bytes already in memory.
    static TXMLReader fromBytes(QByteArray data);

    // Reads the next element at the current position and makes its name, attributes, text value and
    // hasChildren current. An element with children stays open until nextChild() meets its end tag.
    void nextNode();
    // At the next child of the innermost open element: reads it with nextNode() and yields true. At
    // the end tag of the innermost open element: consumes it and yields false.
    bool nextChild();

    // One level of look-ahead. A second saveState before restoreState, or restoreState without a
    // saved state, is a failed assertion.
    void saveState();
    void restoreState();

    qint32 currPos() const { return fBufferPos; }
    bool eof() const { return fEof; }
    const QByteArray& nodeName() const { return fNodeName; }
    const QString& nodeValue() const { return fNodeValue; }
    bool hasChildren() const { return fHasChildren; }
    qint32 numAttr() const { return fNumAttr; }
    // By index 0 .. numAttr()-1; another index is a failed assertion.
    QByteArray attrName(qint32 index) const;
    QString attrValueIdx(qint32 index) const;
    // The first attribute with exactly this name: its index or -1, its value or an empty string.
    qint32 attrValueIndex(const QByteArray& name) const;
    QString attrValueName(const QByteArray& name) const;

private:
    explicit TXMLReader(QByteArray data);

    void initScan();
    void doePreScan();
    void getNextChar();
    void skipWhitespace();
    void stepPastAndSkipWhitespace();
    char peekNextChar();
    void setPos(qint32 pos);
    QByteArray readTagName();
    QByteArray readAttrName();
    QString readAttrValue();
    QString readTextValue();
    void pushNode(const QByteArray& name);
    QString decodeValue(qint32 from, qint32 length) const;

    QByteArray fBuffer;
    qint32 fBufferSize = 0;
    std::optional<TXMLReaderState> fLastState;
    bool fHasCData = false;
};

} // namespace fmx
