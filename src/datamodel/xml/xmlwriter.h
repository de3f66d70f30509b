// Writer of the data-tree XML files: appends UTF-8 text to a memory buffer and saves it as a file.
//
// Every line ends with CR LF and starts in column 1 (no indentation). Names are written as given
// (bytes); texts and attribute values are escaped (&, ", <, >) and encoded as UTF-8. The output
// carries no byte-order mark and no declaration. Misuse (an attribute without an open start tag,
// closing more elements than were opened) is a failed assertion.
#pragma once

#include "xmlerrors.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace fmx {

class TXMLWriter {
public:
    TXMLWriter() = default;

    // Starts an element whose start tag stays open for attributes.
    void addNode(const QByteArray& name);
    // Adds an attribute to the open start tag.
    void addNodeAttr(const QByteArray& name, const QString& value);
    // Ends the element started last with a text value; "<name/>" when it has neither value nor attribute.
    void closeValueNode(const QString& value);
    // A complete element with a text value and no attributes.
    void addValueNode(const QByteArray& name, const QString& value);
    // The same with the (escaped) text inside a character-data section.
    void addCDataValueNode(const QByteArray& name, const QString& value);
    // Ends the innermost element; closeNodeFinal ends the outermost one (the last open element).
    void closeNode();
    void closeNodeFinal();

    // Writes the buffer to the file whole: into a temporary file beside it, renamed over the old file
    // on success, so a failure leaves the old file as it was. Throws TXMLFileError on failure.
    void save(const QString& fileName) const;
    QByteArray asString() const { return fBuffer; }
    const QByteArray& asStream() const { return fBuffer; }

private:
    void addTextNode(const QByteArray& name, const QString& value, const char* open, const char* close);
    void closeStartNode();
    void checkName(const QByteArray& name) const;

    QList<QByteArray> fNodeStack; // names of the open elements, innermost last
    QByteArray fBuffer;
    bool fStartTagOpen = false; // the last start tag still lacks its ">"
    bool fAnyAttr = false;      // the open start tag has an attribute
};

} // namespace fmx
