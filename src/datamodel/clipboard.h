// The application-wide data clipboard: marks of copied grid cells. It owns its items; each item
// is a UI link of its node and leaves the clipboard when the node is deleted. Grid links are only
// pointed to; they unregister themselves.
#pragma once

#include "uilink.h"

#include <functional>
#include <memory>
#include <vector>

namespace fmx {

class TAbstractRootObj;
class TAbstractDataValue;
class TDataClipBoard;

enum TClipboardOrientation : int32_t { clpio_Horizontal = 0, clpio_Vertical = 1, clpio_Mixed = 2 };

class TDataClipBoardItem : public TBaseUILink {
public:
    // Registers with the clipboard (sorted unless noSort) and links itself to obj. A missing
    // clipboard is an assertion.
    static TDataClipBoardItem* createEx(TDataClipBoard* clipboard, TAbstractRootObj* obj, int32_t col,
                                        int32_t row, bool noSort);
    ~TDataClipBoardItem() override;
    TAbstractRootObj* obj() const { return linkedObj(); }
    int32_t col() const { return fCol; }
    int32_t row() const { return fRow; }
    bool objIsChanged(TAbstractRootObj* triggered, int32_t flags, TAbstractRootObj* secObject) override;
    // The node went away: the item leaves the clipboard (and is destroyed).
    void afterLinkChange() override;

private:
    TDataClipBoardItem(TDataClipBoard* clipboard, int32_t col, int32_t row)
        : fClipboard(clipboard), fCol(col), fRow(row) {}
    TDataClipBoard* fClipboard;
    int32_t fCol;
    int32_t fRow;
    bool fLinked = false;
};

class TDataClipBoard {
public:
    TDataClipBoard() = default;
    ~TDataClipBoard();
    TDataClipBoard(const TDataClipBoard&) = delete;
    TDataClipBoard& operator=(const TDataClipBoard&) = delete;

    bool addItemToCopy(TAbstractRootObj* obj, int32_t col, int32_t row, bool noSort = false);
    bool addItemToCopy(const TDataClipBoardItem& clp);
    void removeItem(int index); // assertion outside the items
    void clear();
    int getItemCount() const { return static_cast<int>(fItems.size()); }
    int count() const { return getItemCount(); }
    TDataClipBoardItem* getItem(int index) const;
    TDataClipBoardItem* item(int index) const { return getItem(index); }
    TClipboardOrientation getItemOrientation() const;
    TClipboardOrientation itemOrientation() const { return getItemOrientation(); }
    // True when an item's node is the value or the object that directly holds it.
    bool isValueOnClipboard(TAbstractDataValue* value) const;

    void registerGridLink(TBaseUILink* link);
    void unregisterGridLink(TBaseUILink* link);
    void signalGridLinks(bool flag, TAbstractRootObj* node);
    int gridLinkCount() const { return fGridLinks ? static_cast<int>(fGridLinks->size()) : 0; }

    void basicSortItems();
    void customSortItems(const std::function<int(TDataClipBoardItem*, TDataClipBoardItem*)>& compare);

private:
    friend class TDataClipBoardItem;
    void registerItem(std::unique_ptr<TDataClipBoardItem> item, bool noSort);
    // Takes the item out and destroys it (after the caller's signalling).
    void dropItem(TDataClipBoardItem* item);

    std::vector<std::unique_ptr<TDataClipBoardItem>> fItems;
    std::unique_ptr<std::vector<TBaseUILink*>> fGridLinks;
};

} // namespace fmx
