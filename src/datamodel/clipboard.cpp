#include "clipboard.h"

#include "dataobj.h"

#include "fmx_assert.h"

#include <algorithm>

namespace fmx {

TDataClipBoardItem* TDataClipBoardItem::createEx(TDataClipBoard* clipboard, TAbstractRootObj* obj,
                                                 int32_t col, int32_t row, bool noSort) {
    FMX_ASSERT(clipboard != nullptr, QStringLiteral("TDataClipBoardItem.createEx: geen clipboard"));
    if (!clipboard) return nullptr;
    std::unique_ptr<TDataClipBoardItem> item(new TDataClipBoardItem(clipboard, col, row));
    TDataClipBoardItem* raw = item.get();
    clipboard->registerItem(std::move(item), noSort);
    raw->setLinkedObj(obj);
    return raw;
}

TDataClipBoardItem::~TDataClipBoardItem() = default;

bool TDataClipBoardItem::objIsChanged(TAbstractRootObj*, int32_t, TAbstractRootObj*) {
    return true;
}

void TDataClipBoardItem::afterLinkChange() {
    if (linkedObj()) {
        fLinked = true;
        return;
    }
    if (fLinked) fClipboard->dropItem(this); // destroys this item
}

TDataClipBoard::~TDataClipBoard() {
    fItems.clear();
}

void TDataClipBoard::registerItem(std::unique_ptr<TDataClipBoardItem> item, bool noSort) {
    fItems.push_back(std::move(item));
    if (!noSort) basicSortItems();
}

void TDataClipBoard::dropItem(TDataClipBoardItem* item) {
    auto it = std::find_if(fItems.begin(), fItems.end(), [&](const auto& p) { return p.get() == item; });
    if (it == fItems.end()) return;
    std::unique_ptr<TDataClipBoardItem> dying = std::move(*it);
    fItems.erase(it);
}

bool TDataClipBoard::addItemToCopy(TAbstractRootObj* obj, int32_t col, int32_t row, bool noSort) {
    TDataClipBoardItem::createEx(this, obj, col, row, noSort);
    signalGridLinks(true, obj);
    return true;
}

bool TDataClipBoard::addItemToCopy(const TDataClipBoardItem& clp) {
    return addItemToCopy(clp.obj(), clp.col(), clp.row(), false);
}

TDataClipBoardItem* TDataClipBoard::getItem(int index) const {
    FMX_ASSERT(index >= 0 && index < getItemCount(),
               QStringLiteral("TDataClipBoard.getItem: index %1").arg(index));
    return fItems[static_cast<size_t>(index)].get();
}

void TDataClipBoard::removeItem(int index) {
    FMX_ASSERT(index >= 0 && index < getItemCount(),
               QStringLiteral("TDataClipBoard.removeItem: index %1").arg(index));
    if (index < 0 || index >= getItemCount()) return;
    TDataClipBoardItem* item = fItems[static_cast<size_t>(index)].get();
    signalGridLinks(false, item->obj());
    std::unique_ptr<TDataClipBoardItem> dying = std::move(fItems[static_cast<size_t>(index)]);
    fItems.erase(fItems.begin() + index);
}

void TDataClipBoard::clear() {
    while (!fItems.empty())
        removeItem(getItemCount() - 1);
}

TClipboardOrientation TDataClipBoard::getItemOrientation() const {
    const int n = getItemCount();
    if (n == 1) return clpio_Horizontal;
    if (n == 0) return clpio_Mixed;
    const int32_t row0 = fItems[0]->row();
    const int32_t col0 = fItems[0]->col();
    if (fItems[1]->row() == row0) {
        for (const auto& i : fItems)
            if (i->row() != row0) return clpio_Mixed;
        return clpio_Horizontal;
    }
    for (const auto& i : fItems)
        if (i->col() != col0) return clpio_Mixed;
    return clpio_Vertical;
}

bool TDataClipBoard::isValueOnClipboard(TAbstractDataValue* value) const {
    for (const auto& i : fItems) {
        TAbstractRootObj* o = i->obj();
        if (o == value) return true;
        if (o && o->nodeKind() == nkObject && value->isDirectPartOf(static_cast<TDataObj*>(o))) return true;
    }
    return false;
}

void TDataClipBoard::registerGridLink(TBaseUILink* link) {
    if (!fGridLinks) fGridLinks = std::make_unique<std::vector<TBaseUILink*>>();
    fGridLinks->push_back(link);
}

void TDataClipBoard::unregisterGridLink(TBaseUILink* link) {
    if (!fGridLinks) return;
    auto it = std::find(fGridLinks->begin(), fGridLinks->end(), link);
    if (it != fGridLinks->end()) fGridLinks->erase(it);
    if (fGridLinks->empty()) fGridLinks.reset();
}

void TDataClipBoard::signalGridLinks(bool flag, TAbstractRootObj* node) {
    for (int i = 0; i < gridLinkCount(); ++i)
        (*fGridLinks)[static_cast<size_t>(i)]->clipboardChanged(flag, node);
}

void TDataClipBoard::basicSortItems() {
    std::stable_sort(fItems.begin(), fItems.end(), [](const auto& a, const auto& b) {
        return a->col() != b->col() ? a->col() < b->col() : a->row() < b->row();
    });
}

void TDataClipBoard::customSortItems(
    const std::function<int(TDataClipBoardItem*, TDataClipBoardItem*)>& compare) {
    std::stable_sort(fItems.begin(), fItems.end(),
                     [&](const auto& a, const auto& b) { return compare(a.get(), b.get()) < 0; });
}

} // namespace fmx
