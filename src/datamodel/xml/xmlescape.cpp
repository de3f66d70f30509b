#include "xmlescape.h"

namespace fmx {

QByteArray escapeXMLText(const QString& text) {
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            escaped += QLatin1String("&amp;");
            break;
        case u'"':
            escaped += QLatin1String("&quot;");
            break;
        case u'<':
            escaped += QLatin1String("&lt;");
            break;
        case u'>':
            escaped += QLatin1String("&gt;");
            break;
        default:
            escaped += c;
        }
    }
    return escaped.toUtf8();
}

QString unescapeXMLText(const QString& text) {
    if (!text.contains(QLatin1Char('&'))) return text;
    struct Ref {
        QLatin1String name;
        QChar character;
    };
    static const Ref refs[] = {{QLatin1String("&amp;"), QLatin1Char('&')},
                               {QLatin1String("&quot;"), QLatin1Char('"')},
                               {QLatin1String("&lt;"), QLatin1Char('<')},
                               {QLatin1String("&gt;"), QLatin1Char('>')}};
    QString result;
    result.reserve(text.size());
    const QStringView view(text);
    qsizetype i = 0;
    while (i < view.size()) {
        if (view[i] == QLatin1Char('&')) {
            bool replaced = false;
            for (const Ref& ref : refs) {
                if (view.sliced(i).startsWith(ref.name)) {
                    result += ref.character;
                    i += ref.name.size();
                    replaced = true;
                    break;
                }
            }
            if (replaced) continue;
        }
        result += view[i];
        ++i;
    }
    return result;
}

} // namespace fmx
