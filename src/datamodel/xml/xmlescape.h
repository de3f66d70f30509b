// The text escaping shared by the XML writer and reader.
//
// Only the four references &amp; &quot; &lt; &gt; exist; apostrophes and numeric references are
// left as they are. unescapeXMLText(escapeXMLText(s)) == s for every s.
#pragma once

#include <QByteArray>
#include <QString>

namespace fmx {

// Escapes &, ", < and > (the ampersand first) and encodes the result as UTF-8.
QByteArray escapeXMLText(const QString& text);

// Replaces the four references by their characters in one pass, so "&amp;lt;" gives "&lt;".
QString unescapeXMLText(const QString& text);

} // namespace fmx
