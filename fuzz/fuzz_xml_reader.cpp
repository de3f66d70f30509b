// Fuzz target for TXMLReader: reads every element of the input depth first, touching attributes and
// the saved state. A readable input is written back with TXMLWriter and must read back as the same
// tree. Parse errors (TBaseDataError) are expected; anything else (a crash, a failed assertion, a
// sanitizer report, a hang, a leak or a tree that changes in the round trip) is a finding.
#include "errors.h"
#include "fmx_assert.h"
#include "log.h"
#include "xmlreader.h"
#include "xmlwriter.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// Every parse error writes a log entry. This process runs no log writer, so the pending log text would
// grow with every input until the run runs out of memory; the target drops the entries instead.
void fmx::logInfo(TLogMsgKind, const QString&) {}

namespace {

struct Element {
    QByteArray name;
    QList<QByteArray> attrNames;
    QList<QString> attrValues;
    QString value;
    bool hasChildren = false;
    std::vector<std::unique_ptr<Element>> children;
};

bool operator==(const Element& a, const Element& b) {
    if (a.name != b.name || a.attrNames != b.attrNames || a.attrValues != b.attrValues ||
        a.value != b.value || a.hasChildren != b.hasChildren || a.children.size() != b.children.size())
        return false;
    for (size_t i = 0; i < a.children.size(); ++i)
        if (!(*a.children[i] == *b.children[i])) return false;
    return true;
}

std::unique_ptr<Element> current(fmx::TXMLReader& r) {
    auto e = std::make_unique<Element>();
    e->name = r.nodeName();
    for (qint32 i = 0; i < r.numAttr(); ++i) {
        e->attrNames.append(r.attrName(i));
        e->attrValues.append(r.attrValueIdx(i));
        if (r.attrValueIndex(e->attrNames.last()) > i) std::abort(); // the first of equal names comes first
    }
    e->value = r.nodeValue();
    e->hasChildren = r.hasChildren();
    return e;
}

// Reads the children of the current element; recursion depth is bounded by the reader's depth limit.
void readChildren(fmx::TXMLReader& r, Element& parent) {
    if (!parent.hasChildren) return;
    for (;;) {
        // Look ahead and come back, as the loaders do, then read for real.
        r.saveState();
        const bool more = r.nextChild();
        const QByteArray lookedAt = r.nodeName();
        r.restoreState();
        if (r.nextChild() != more) std::abort();
        if (!more) return;
        if (r.nodeName() != lookedAt) std::abort();
        auto child = current(r);
        readChildren(r, *child);
        parent.children.push_back(std::move(child));
    }
}

std::vector<std::unique_ptr<Element>> readAll(fmx::TXMLReader& r) {
    std::vector<std::unique_ptr<Element>> roots;
    while (!r.eof()) {
        r.nextNode();
        auto e = current(r);
        readChildren(r, *e);
        roots.push_back(std::move(e));
    }
    return roots;
}

// Names the writer refuses (markup bytes, whitespace, a leading "!" or "?") cannot make the round trip.
bool writable(const QByteArray& name) {
    if (name.isEmpty() || name.startsWith('!') || name.startsWith('?')) return false;
    for (const char c : name)
        if (c == '<' || c == '>' || c == '/' || c == '=' || c == '"' || c == '&' || c == '\t' || c == '\n' ||
            c == '\r' || c == ' ')
            return false;
    return true;
}

// Leading whitespace of a text value is not kept by the format, so such a tree reads back changed.
bool startsWithWhitespace(const QString& s) {
    return !s.isEmpty() && (s[0] == u'\t' || s[0] == u'\n' || s[0] == u'\r' || s[0] == u' ');
}

bool writable(const Element& e) {
    if (!writable(e.name) || startsWithWhitespace(e.value)) return false;
    for (const QByteArray& n : e.attrNames)
        if (!writable(n)) return false;
    for (const auto& c : e.children)
        if (!writable(*c)) return false;
    return true;
}

void write(fmx::TXMLWriter& w, const Element& e) {
    if (!e.hasChildren && e.attrNames.isEmpty()) {
        w.addValueNode(e.name, e.value);
        return;
    }
    w.addNode(e.name);
    for (qsizetype i = 0; i < e.attrNames.size(); ++i)
        w.addNodeAttr(e.attrNames[i], e.attrValues[i]);
    if (!e.hasChildren) {
        w.closeValueNode(e.value);
        return;
    }
    for (const auto& c : e.children)
        write(w, *c);
    w.closeNode();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool initialised = [] {
        fmx::setAssertHandler(&fmx::throwingAssertHandler);
        fmx::registerXMLExceptions();
        return true;
    }();
    (void)initialised;

    std::vector<std::unique_ptr<Element>> roots;
    try {
        fmx::TXMLReader r =
            fmx::TXMLReader::fromBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        roots = readAll(r);
    } catch (const fmx::TBaseDataError& e) {
        if (e.kind() != fmx::tdek_XMLReadError) std::abort();
        return 0;
    }

    for (const auto& e : roots)
        if (!writable(*e)) return 0;
    fmx::TXMLWriter w;
    for (const auto& e : roots)
        write(w, *e);
    fmx::TXMLReader again = fmx::TXMLReader::fromBytes(w.asString());
    const auto reread = readAll(again); // a parse error here escapes: the writer's output must read
    if (reread.size() != roots.size()) std::abort();
    for (size_t i = 0; i < roots.size(); ++i)
        if (!(*roots[i] == *reread[i])) std::abort();
    return 0;
}
