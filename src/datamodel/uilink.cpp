#include "uilink.h"

#include "rootobj.h"

namespace fmx {

TBaseUILink::~TBaseUILink() {
    if (fLinkedObj) {
        TAbstractRootObj* node = fLinkedObj;
        fLinkedObj = nullptr;
        node->removeUILink(this);
    }
}

void TBaseUILink::setLinkedObj(TAbstractRootObj* node) {
    if (node == fLinkedObj) return;
    if (fLinkedObj) fLinkedObj->removeUILink(this);
    fLinkedObj = node;
    if (node) node->addUILink(this);
    afterLinkChange();
}

void TBaseUILink::clipboardChanged(bool, TAbstractRootObj*) {}
void TBaseUILink::refreshDol() {}

} // namespace fmx
