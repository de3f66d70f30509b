// The watcher base of one node. A link never owns its node; the node keeps a non-owning list of
// its links and, when it is deleted, sets every link's node to none.
#pragma once

#include <cstdint>

namespace fmx {

class TAbstractRootObj;

class TBaseUILink {
public:
    TBaseUILink() = default;
    TBaseUILink(const TBaseUILink&) = delete;
    TBaseUILink& operator=(const TBaseUILink&) = delete;
    // Unregisters from the node (without afterLinkChange).
    virtual ~TBaseUILink();

    TAbstractRootObj* linkedObj() const { return fLinkedObj; }
    // Unregisters from the old node, registers with the new one (appended), then afterLinkChange.
    // Nothing happens when the node is unchanged. Nothing of the link is touched after
    // afterLinkChange, so that call may destroy the link.
    virtual void setLinkedObj(TAbstractRootObj* node);
    // A trigger passed the node. Return false only when the link unregistered itself during the call.
    virtual bool objIsChanged(TAbstractRootObj* triggered, int32_t flags, TAbstractRootObj* secObject) = 0;
    virtual void afterLinkChange() = 0;
    virtual void clipboardChanged(bool flag, TAbstractRootObj* node);
    // Asked by deepSetUnchanged (refreshDols); links that show data refresh it.
    virtual void refreshDol();

private:
    TAbstractRootObj* fLinkedObj = nullptr;
};

} // namespace fmx
