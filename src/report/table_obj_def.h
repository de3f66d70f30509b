// Tables filled row by row and cell by cell, then written out as HTML text.
//
// Ownership: a table owns its rows (fRows), a row owns its cells (fCols), a cell owns the sub-table
// it holds (fSubTable). The back pointers fParentTable, fParentRow and fParentCell only point; they
// are set when the child is attached and live exactly as long as the child, so nobody clears them.
//
// Programming errors (a cell before any row, a row or cell index out of range, a sub-table that is
// not a TGenTableObjDef) go through FMX_ASSERT; when the handler returns, the call does nothing.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace fmx {

enum TTableObjType : int {
    t_type_php = 1,
    t_type_csv = 2,
    t_type_html = 3,
    t_type_xml = 4,
};

// Bit of a cell's type that marks a cell holding a sub-table.
inline constexpr int kColTypeSubTable = 2;

class TGenTableObjDef;
class TGenTableObjRow;

class TBaseTableObjDef {
public:
    explicit TBaseTableObjDef(TTableObjType type);
    virtual ~TBaseTableObjDef();
    TBaseTableObjDef(const TBaseTableObjDef&) = delete;
    TBaseTableObjDef& operator=(const TBaseTableObjDef&) = delete;

    int RowCount() const { return fRowCount; }
    int MaxLogCol() const { return getMaxLogCol(); }
    const QString& tableName() const { return fTableName; }
    void setTableName(const QString& name) { fTableName = name; }
    TTableObjType type() const { return fType; }

    virtual int getMaxLogCol() const;
    // Appends a row with the class cls (may be empty) and makes it current. Returns the row count.
    virtual int AddRow(const QString& cls) = 0;
    // Appends a cell to the current row; tabDef, when given, becomes the cell's sub-table.
    // Assertion without a current row or when tabDef is not a TGenTableObjDef.
    virtual void AddColTab(int nRowSpan, int nColSpan, int nColType, const QString& text, const QString& cls,
                           std::unique_ptr<TBaseTableObjDef> tabDef) = 0;
    // Overwrites span, class and text of an existing cell (0-based indices; assertion when out of range).
    virtual void EditCol(int nRowSpan, int nColSpan, const QString& text, const QString& cls, int rowIndex,
                         int colIndex) = 0;
    // AddColTab without sub-table; returns the new cell's row and column index (0-based).
    virtual void AddColEx(int nRowSpan, int nColSpan, int nColType, const QString& text, const QString& cls,
                          int& rowIndex, int& colIndex) = 0;
    virtual void CloseTable() {}
    virtual void CloseAsSubTable() {}

    void AddCol(const QString& text, const QString& cls) { AddColTab(1, 1, 0, text, cls, nullptr); }
    void AddCol(int nColSpan, const QString& text, const QString& cls) {
        AddColTab(1, nColSpan, 0, text, cls, nullptr);
    }
    void AddCol(int nRowSpan, int nColSpan, int nColType, const QString& text, const QString& cls) {
        AddColTab(nRowSpan, nColSpan, nColType, text, cls, nullptr);
    }

protected:
    int fRowCount = 0;
    int fColCount = 0;
    int fMaxCol = 0;
    TTableObjType fType;
    QString fTableName;
};

class TGenTableObjCell {
public:
    TGenTableObjCell(TGenTableObjRow* parentRow, int nRowSpan, int nColSpan, int nColType,
                     const QString& text, const QString& cls, int logIndex);
    ~TGenTableObjCell();
    TGenTableObjCell(const TGenTableObjCell&) = delete;
    TGenTableObjCell& operator=(const TGenTableObjCell&) = delete;

    int colSpan() const { return fColSpan; }
    int rowSpan() const { return fRowSpan; }
    const QString& text() const { return fText; }
    int colType() const { return fColType; }
    const QString& style() const { return fStyle; }
    // The logical column where the cell starts.
    int logIndex() const { return fLogIndex; }
    TGenTableObjRow* parentRow() const { return fParentRow; }
    TGenTableObjDef* subTable() const { return fSubTable.get(); }
    // Extra attribute text written into the cell's element.
    const QString& htmlStyle() const { return fHTMLStyle; }
    void setHTMLStyle(const QString& attributes) { fHTMLStyle = attributes; }

private:
    friend class TGenTableObjDef;

    int fColSpan;
    int fRowSpan;
    QString fText;
    int fColType;
    QString fStyle;
    std::unique_ptr<TGenTableObjDef> fSubTable;
    int fLogIndex;
    TGenTableObjRow* fParentRow;
    QString fHTMLStyle;
};

class TGenTableObjRow {
public:
    TGenTableObjRow(TGenTableObjDef* parentTable, const QString& cls);
    ~TGenTableObjRow();
    TGenTableObjRow(const TGenTableObjRow&) = delete;
    TGenTableObjRow& operator=(const TGenTableObjRow&) = delete;

    int cellCount() const { return static_cast<int>(fCols.size()); }
    // Assertion when out of range (nullptr when the handler returns).
    TGenTableObjCell* cell(int index) const;
    TGenTableObjDef* parentTable() const { return fParentTable; }
    const QString& style() const { return fStyle; }
    // The class given to cells added to this row without one.
    const QString& colStyle() const { return fColstyle; }
    void setColStyle(const QString& cls) { fColstyle = cls; }

private:
    friend class TGenTableObjDef;

    std::vector<std::unique_ptr<TGenTableObjCell>> fCols;
    TGenTableObjDef* fParentTable;
    QString fStyle;
    QString fColstyle;
};

class TGenTableObjDef : public TBaseTableObjDef {
public:
    explicit TGenTableObjDef(TTableObjType type);
    ~TGenTableObjDef() override;

    int AddRow(const QString& cls) override;
    void AddColTab(int nRowSpan, int nColSpan, int nColType, const QString& text, const QString& cls,
                   std::unique_ptr<TBaseTableObjDef> tabDef) override;
    void EditCol(int nRowSpan, int nColSpan, const QString& text, const QString& cls, int rowIndex,
                 int colIndex) override;
    void AddColEx(int nRowSpan, int nColSpan, int nColType, const QString& text, const QString& cls,
                  int& rowIndex, int& colIndex) override;

    // Assertion when out of range (nullptr when the handler returns).
    TGenTableObjRow* row(int index) const;
    TGenTableObjCell* cell(int rowIndex, int colIndex) const;
    // The current row (the last added), nullptr before the first.
    TGenTableObjRow* lastRow() const { return fLastRow; }
    TGenTableObjCell* lastCell() const { return fLastCell; }
    // The cell holding this table as its sub-table, nullptr for a table of its own.
    TGenTableObjCell* parentCell() const { return fParentCell; }

private:
    std::vector<std::unique_ptr<TGenTableObjRow>> fRows;
    TGenTableObjRow* fLastRow = nullptr;
    TGenTableObjCell* fLastCell = nullptr;
    TGenTableObjCell* fParentCell = nullptr;
};

class THTMLTableObjDef : public TGenTableObjDef {
public:
    THTMLTableObjDef();

    // Same as the base, after every "\r\n" and then every remaining "\n" of the text became "<BR>".
    void AddColTab(int nRowSpan, int nColSpan, int nColType, const QString& text, const QString& cls,
                   std::unique_ptr<TBaseTableObjDef> tabDef) override;

    // Class names written as cls are written as mapToCSSClass instead (looked up case-insensitively,
    // the first mapping wins).
    void addClassMap(const QString& cls, const QString& mapToCSSClass);

    const QString& style() const { return fStyle; }
    void setStyle(const QString& cls) { fStyle = cls; }
    // Extra attribute text of the table element.
    const QString& htmlStyle() const { return fHTMLStyle; }
    void setHTMLStyle(const QString& attributes) { fHTMLStyle = attributes; }

    // The table as HTML, lines ended by CRLF. With doMapClsDirect every class name is written as raw
    // attribute text; otherwise as a class attribute, mapped through the class map. A sub-table
    // that is a THTMLTableObjDef is written with its own class, attributes and class map; a plain
    // TGenTableObjDef sub-table with the class map of the nearest enclosing HTML table.
    QString HTMLContent(bool doMapClsDirect = false) const;

private:
    QString classAttr(const QString& cls, bool doMapClsDirect) const;
    void writeTable(QString& out, const TGenTableObjDef& table, int level, bool doMapClsDirect) const;

    QStringList fClassMapOrg;
    QStringList fClassMapCSS;
    QString fStyle;
    QString fHTMLStyle;
};

// HTMLContent with the table destroyed afterwards (the builder's "delete when done").
QString HTMLContent(std::unique_ptr<THTMLTableObjDef> table, bool doMapClsDirect = false);

} // namespace fmx
