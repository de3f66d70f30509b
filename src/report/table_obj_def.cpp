#include "table_obj_def.h"

#include "fmx_assert.h"

#include <algorithm>

namespace fmx {

// ---- TBaseTableObjDef ----

TBaseTableObjDef::TBaseTableObjDef(TTableObjType type) : fType(type) {}

TBaseTableObjDef::~TBaseTableObjDef() = default;

int TBaseTableObjDef::getMaxLogCol() const {
    return fMaxCol;
}

// ---- TGenTableObjCell ----

TGenTableObjCell::TGenTableObjCell(TGenTableObjRow* parentRow, int nRowSpan, int nColSpan, int nColType,
                                   const QString& text, const QString& cls, int logIndex)
    : fColSpan(nColSpan), fRowSpan(nRowSpan), fText(text), fColType(nColType), fStyle(cls),
      fLogIndex(logIndex), fParentRow(parentRow) {}

TGenTableObjCell::~TGenTableObjCell() = default;

// ---- TGenTableObjRow ----

TGenTableObjRow::TGenTableObjRow(TGenTableObjDef* parentTable, const QString& cls)
    : fParentTable(parentTable), fStyle(cls) {}

TGenTableObjRow::~TGenTableObjRow() = default;

TGenTableObjCell* TGenTableObjRow::cell(int index) const {
    const bool inRange = index >= 0 && index < cellCount();
    FMX_ASSERT(inRange,
               QStringLiteral("Kolomindex %1 buiten bereik (0..%2)").arg(index).arg(cellCount() - 1));
    return inRange ? fCols[static_cast<size_t>(index)].get() : nullptr;
}

// ---- TGenTableObjDef ----

TGenTableObjDef::TGenTableObjDef(TTableObjType type) : TBaseTableObjDef(type) {}

TGenTableObjDef::~TGenTableObjDef() = default;

int TGenTableObjDef::AddRow(const QString& cls) {
    fRows.push_back(std::make_unique<TGenTableObjRow>(this, cls));
    fLastRow = fRows.back().get();
    fLastCell = nullptr;
    fColCount = 0;
    fRowCount = static_cast<int>(fRows.size());
    return fRowCount;
}

void TGenTableObjDef::AddColTab(int nRowSpan, int nColSpan, int nColType, const QString& text,
                                const QString& cls, std::unique_ptr<TBaseTableObjDef> tabDef) {
    FMX_ASSERT(fLastRow != nullptr, QStringLiteral("Kolom toegevoegd aan tabel zonder rij"));
    if (fLastRow == nullptr) return;
    std::unique_ptr<TGenTableObjDef> subTable;
    if (tabDef) {
        auto* gen = dynamic_cast<TGenTableObjDef*>(tabDef.get());
        FMX_ASSERT(gen != nullptr, QStringLiteral("Subtabel is geen TGenTableObjDef"));
        if (gen == nullptr) return;
        (void)tabDef.release();
        subTable.reset(gen);
        nColType |= kColTypeSubTable;
    }
    const QString& cellClass = cls.isEmpty() ? fLastRow->fColstyle : cls;
    auto cell = std::make_unique<TGenTableObjCell>(fLastRow, nRowSpan, nColSpan, nColType, text, cellClass,
                                                   fColCount);
    if (subTable) {
        subTable->fParentCell = cell.get();
        cell->fSubTable = std::move(subTable);
    }
    fLastCell = cell.get();
    fLastRow->fCols.push_back(std::move(cell));
    fColCount += nColSpan;
    fMaxCol = std::max(fMaxCol, fColCount);
}

void TGenTableObjDef::EditCol(int nRowSpan, int nColSpan, const QString& text, const QString& cls,
                              int rowIndex, int colIndex) {
    TGenTableObjCell* target = cell(rowIndex, colIndex);
    if (target == nullptr) return;
    target->fRowSpan = nRowSpan;
    target->fColSpan = nColSpan;
    target->fText = text;
    target->fStyle = cls;
}

void TGenTableObjDef::AddColEx(int nRowSpan, int nColSpan, int nColType, const QString& text,
                               const QString& cls, int& rowIndex, int& colIndex) {
    const TGenTableObjCell* before = fLastCell;
    AddColTab(nRowSpan, nColSpan, nColType, text, cls, nullptr);
    if (fLastRow == nullptr || fLastCell == before) return; // refused by an assertion
    rowIndex = fRowCount - 1;
    colIndex = fLastRow->cellCount() - 1;
}

TGenTableObjRow* TGenTableObjDef::row(int index) const {
    const bool inRange = index >= 0 && index < static_cast<int>(fRows.size());
    FMX_ASSERT(inRange, QStringLiteral("Rijindex %1 buiten bereik (0..%2)").arg(index).arg(fRowCount - 1));
    return inRange ? fRows[static_cast<size_t>(index)].get() : nullptr;
}

TGenTableObjCell* TGenTableObjDef::cell(int rowIndex, int colIndex) const {
    const TGenTableObjRow* r = row(rowIndex);
    return r != nullptr ? r->cell(colIndex) : nullptr;
}

// ---- THTMLTableObjDef ----

namespace {

const QString kCRLF = QStringLiteral("\r\n");

QString lineBreaksToBR(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("<BR>"), Qt::CaseInsensitive);
    result.replace(QStringLiteral("\n"), QStringLiteral("<BR>"), Qt::CaseInsensitive);
    return result;
}

} // namespace

THTMLTableObjDef::THTMLTableObjDef() : TGenTableObjDef(t_type_html) {}

void THTMLTableObjDef::AddColTab(int nRowSpan, int nColSpan, int nColType, const QString& text,
                                 const QString& cls, std::unique_ptr<TBaseTableObjDef> tabDef) {
    TGenTableObjDef::AddColTab(nRowSpan, nColSpan, nColType, lineBreaksToBR(text), cls, std::move(tabDef));
}

void THTMLTableObjDef::addClassMap(const QString& cls, const QString& mapToCSSClass) {
    fClassMapOrg.append(cls);
    fClassMapCSS.append(mapToCSSClass);
}

QString THTMLTableObjDef::classAttr(const QString& cls, bool doMapClsDirect) const {
    if (cls.isEmpty()) return {};
    if (doMapClsDirect) return QStringLiteral(" ") + cls;
    for (qsizetype i = 0; i < fClassMapOrg.size(); ++i) {
        if (fClassMapOrg.at(i).compare(cls, Qt::CaseInsensitive) == 0)
            return QStringLiteral(" class=\"") + fClassMapCSS.at(i) + QStringLiteral("\"");
    }
    const QString& cssClass = cls;
    return QStringLiteral(" class=\"") + cssClass + QStringLiteral("\"");
}

void THTMLTableObjDef::writeTable(QString& out, const TGenTableObjDef& table, int level,
                                  bool doMapClsDirect) const {
    const QString indent(level, QLatin1Char(' '));
    const bool own = &table == this;
    out += indent + QStringLiteral("<table") + (own ? classAttr(fStyle, doMapClsDirect) : QString());
    if (own && !fHTMLStyle.isEmpty()) out += QStringLiteral(" ") + fHTMLStyle;
    out += QStringLiteral(">") + kCRLF;
    for (int r = 0; r < table.RowCount(); ++r) {
        const TGenTableObjRow* row = table.row(r);
        out += indent + QStringLiteral("  <tr") + classAttr(row->style(), doMapClsDirect) +
               QStringLiteral(">") + kCRLF;
        for (int c = 0; c < row->cellCount(); ++c) {
            const TGenTableObjCell* cell = row->cell(c);
            out += indent + QStringLiteral("<td") + classAttr(cell->style(), doMapClsDirect);
            if (!cell->htmlStyle().isEmpty()) out += QStringLiteral(" ") + cell->htmlStyle();
            if (cell->colSpan() >= 2) out += QStringLiteral(" colspan=\"%1\"").arg(cell->colSpan());
            if (cell->rowSpan() >= 2) out += QStringLiteral(" rowspan=\"%1\"").arg(cell->rowSpan());
            out += QStringLiteral(">") + cell->text();
            if (const TGenTableObjDef* sub = cell->subTable()) {
                if (const auto* html = dynamic_cast<const THTMLTableObjDef*>(sub))
                    html->writeTable(out, *html, level + 2, doMapClsDirect);
                else
                    writeTable(out, *sub, level + 2, doMapClsDirect);
            }
            out += QStringLiteral("</td>") + kCRLF;
        }
        out += indent + QStringLiteral("  </tr>") + kCRLF;
    }
    out += indent + QStringLiteral("</table>") + kCRLF;
}

QString THTMLTableObjDef::HTMLContent(bool doMapClsDirect) const {
    QString out;
    writeTable(out, *this, 0, doMapClsDirect);
    return out;
}

QString HTMLContent(std::unique_ptr<THTMLTableObjDef> table, bool doMapClsDirect) {
    return table ? table->HTMLContent(doMapClsDirect) : QString();
}

} // namespace fmx
