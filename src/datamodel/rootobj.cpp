#include "rootobj.h"

#include "dataobj.h"
#include "dmerrors.h"
#include "dmhooks.h"
#include "uilink.h"

#include "fmx_assert.h"

#include <algorithm>

namespace fmx {

TAbstractRootObj::~TAbstractRootObj() {
    // Links still registered (a node destroyed without signalDelete) must not keep pointing here.
    while (fUILinks && !fUILinks->empty())
        fUILinks->front()->setLinkedObj(nullptr);
}

void TAbstractRootObj::signalDelete() {
    if (fBusyDestroy) return;
    fBusyDestroy = true;
    if (!fBusy) handleTrigger(this, trgNodeDeleted, nullptr);
    detachAllUILinks();
}

void TAbstractRootObj::detachAllUILinks() {
    while (fUILinks && !fUILinks->empty())
        fUILinks->front()->setLinkedObj(nullptr);
}

TDataObj* TAbstractRootObj::getDBNotesRoot() {
    return dbRoot();
}

bool TAbstractRootObj::canCut() {
    return false;
}
bool TAbstractRootObj::canPasteInto(TAbstractRootObj*) {
    return false;
}
bool TAbstractRootObj::canPasteOver(TAbstractRootObj*) {
    return false;
}
void TAbstractRootObj::pasteInto(TAbstractRootObj*) {
    FMX_ASSERT(false, QStringLiteral("TAbstractRootObj.pasteInto called"));
}
void TAbstractRootObj::pasteOver(TAbstractRootObj*) {
    FMX_ASSERT(false, QStringLiteral("TAbstractRootObj.pasteOver called"));
}
void TAbstractRootObj::afterPaste() {}

void TAbstractRootObj::raiseErrorIfActionNotAllowed(TObjAction action) {
    if (std::unique_ptr<TDataError> e = getIsActionAllowed(action)) throw TDataError(*e);
}

void TAbstractRootObj::addUILink(TBaseUILink* link) {
    if (!fUILinks) fUILinks = std::make_unique<std::vector<TBaseUILink*>>();
    fUILinks->push_back(link);
}

void TAbstractRootObj::removeUILink(TBaseUILink* link) {
    auto it = fUILinks ? std::find(fUILinks->begin(), fUILinks->end(), link) : decltype(fUILinks->begin()){};
    const bool found = fUILinks && it != fUILinks->end();
    FMX_ASSERT(found, QStringLiteral("TAbstractDataValue.removeUILink: link niet gevonden"));
    if (!found) return;
    fUILinks->erase(it);
    if (fUILinks->empty()) fUILinks.reset();
}

void TAbstractRootObj::signalUILinks(TAbstractRootObj* triggered, int32_t flags,
                                     TAbstractRootObj* secObject) {
    const int32_t f = flags & trgUILinkMask;
    if (f == 0) return;
    int i = 0;
    while (fUILinks && i < static_cast<int>(fUILinks->size())) {
        if ((*fUILinks)[static_cast<size_t>(i)]->objIsChanged(triggered, f, secObject)) ++i;
    }
}

void TAbstractRootObj::refreshDols() {
    for (int i = 0; i < UILinkCount(); ++i)
        UILink(i)->refreshDol();
}

TDataObjODRoot* TAbstractRootObj::dbRoot() {
    for (TDataObj* o = pathStartObj(); o; o = o->parentObject())
        if (auto* r = dynamic_cast<TDataObjODRoot*>(o)) return r;
    return nullptr;
}

TDataObjGlobalPart* TAbstractRootObj::dbIDRoot() {
    for (TDataObj* o = pathStartObj(); o; o = o->parentObject())
        if (auto* r = dynamic_cast<TDataObjGlobalPart*>(o)) return r;
    return nullptr;
}

TDataObjIDManager* TAbstractRootObj::IDManager() {
    for (TDataObj* o = pathStartObj(); o; o = o->parentObject())
        if (auto* r = dynamic_cast<TDataObjIDManager*>(o)) return r;
    return nullptr;
}

TDataObj* TAbstractRootObj::actGlobalData() {
    return dmActGlobalData();
}

} // namespace fmx
