// The common base of values, objects and lists: change state, busy flags, UI links, right
// checks, trigger dispatch and paths. Ownership rules of the tree are stated in dataobj.h.
#pragma once

#include "triggers.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace fmx {

class TBaseUILink;
class TDataError;
class TDataObj;
class TDataObjList;
class TAbstractDataValue;
class TDataObjIDManager;
class TDataObjODRoot;
class TDataObjGlobalPart;
class TXMLReader;
class TXMLWriter;

enum TNodeKind { nkValue, nkObject, nkList };

// The ways a tree is written to (and read from) XML; the numbers are fixed.
enum TStorageXMLType : int32_t {
    sxt_ForFileStorage = 0,       // the stored file; external binary data goes to its own files
    sxt_ForSingleFileStorage = 1, // one text: binary data inline, on-demand objects in full
    sxt_ForReport = 2,            // display texts, enumeration and reference attributes, report hooks
    sxt_ForInspection = 3,        // like report, but values only
    sxt_ForExport = 4,            // references to global objects by name, no IDs on ID managers
    sxt_ForDisplay = 5,           // like file storage, without writing binary files
};

class TAbstractRootObj {
public:
    virtual ~TAbstractRootObj();
    TAbstractRootObj(const TAbstractRootObj&) = delete;
    TAbstractRootObj& operator=(const TAbstractRootObj&) = delete;

    virtual TNodeKind nodeKind() const = 0;
    int32_t defID() const { return fDefID; }
    bool isChanged() const { return fChanged; }
    bool isNew() const { return fIsNew; }
    bool isBusy() const { return fBusy; }
    bool busyDestroy() const { return fBusyDestroy; }
    bool dontStore() const { return fDontStore; }
    void setDontStore(bool v) { fDontStore = v; }
    bool noChangesPresent() const { return !fIsNew && !fChanged; }
    bool anyChangesPresent() const { return fIsNew || fChanged; }

    // Change state (see the marking rules in dataobj.h). setChanged(true) may raise a rights error
    // before anything is marked.
    virtual void setChanged(bool flag) = 0;
    // Sets the busy flag on the node and everything below it; raises nothing.
    virtual void setBusy(bool flag) = 0;
    // nullptr when allowed, else the error for the caller to raise.
    virtual std::unique_ptr<TDataError> getIsActionAllowed(TObjAction action) = 0;
    virtual void setIsNew(bool flag) = 0;
    // Run first by every deletion: raises 0x040, detaches every UI link, then the node's parts.
    virtual void signalDelete();
    virtual TDataObj* getDBNotesRoot();
    virtual void deepSetUnchanged() = 0;
    virtual void deepSetChangedAndNew(bool ch, bool nw) = 0;
    // XOR of CRC-32 values of the XML texts, without dontStore nodes and excluded definitions.
    virtual uint32_t calcDataChecksum(int indexToAdd) = 0;
    // Returns the flags left. See the dispatch rules in dataobj.h.
    virtual int32_t handleTrigger(TAbstractRootObj* objTriggered, int32_t flags,
                                  TAbstractRootObj* secObject) = 0;
    virtual bool canCut();
    virtual bool canPasteInto(TAbstractRootObj* source);
    virtual bool canPasteOver(TAbstractRootObj* source);
    virtual void pasteInto(TAbstractRootObj* source); // assertion in the base class
    virtual void pasteOver(TAbstractRootObj* source); // assertion in the base class
    virtual void afterPaste();

    // Throws the error of getIsActionAllowed when there is one.
    void raiseErrorIfActionNotAllowed(TObjAction action);

    // UI links, in registration order (not owned).
    void addUILink(TBaseUILink* link);
    void removeUILink(TBaseUILink* link); // assertion when not registered
    int UILinkCount() const { return fUILinks ? static_cast<int>(fUILinks->size()) : 0; }
    TBaseUILink* UILink(int i) const { return (*fUILinks)[static_cast<size_t>(i)]; }
    // Calls objIsChanged on every link; a link that unregisters itself returns false and the
    // loop stays at its index. The count is read again every round.
    void signalUILinks(TAbstractRootObj* triggered, int32_t flags, TAbstractRootObj* secObject);
    void refreshDols();

    // The object a path starts from: the node itself when an object, else its parent object.
    virtual TDataObj* pathStartObj() = 0;
    TDataObjODRoot* dbRoot();
    TDataObjGlobalPart* dbIDRoot();
    TDataObjIDManager* IDManager();
    TDataObj* actGlobalData();

    // Textual paths: tokens separated by "-" (":-" is a hyphen in a name), "##id" after a list
    // name, "*" global data, "\" file root, "$" here, "." parent. nilOnError: nullptr on failure;
    // otherwise a failure is an assertion "TAbstractRootObj.followPath path=\"...\"".
    TAbstractRootObj* followPath(const QString& path, bool nilOnError);
    // How a walk treats its failures: a missing node and a malformed step (a list or a plain
    // value before the end, a bad "##" number).
    enum TPathMode { pmNilOnError, pmAssert, pmMissingIsNil };
    TAbstractRootObj* followPathEx(const QString& path, TPathMode mode);
    // Up to 5 IDs, 0-terminated or ending with the vector: value/object/list definition IDs, -8 id
    // after a list, -4 global data, -5 file root, -6 here, -7 parent, other negatives: back.
    TAbstractRootObj* followIDPath(const std::vector<int32_t>& idPath, bool nilOnError);
    QString getPath(TAbstractRootObj* stopAt = nullptr);
    QString getValuePath(TAbstractRootObj* stopAt = nullptr);
    static QString escapePath(const QString& name);
    // Splits a textual path into its tokens (escapes resolved).
    static QStringList splitPath(const QString& path);

protected:
    TAbstractRootObj() = default;
    // Unregisters all links (setLinkedObj(nullptr) on the first one until none is left).
    void detachAllUILinks();
    QString buildPath(TAbstractRootObj* stopAt, bool escape);

    friend class TDataValueDef;
    friend class TDataObjDef;
    friend class TDataObjListDef;
    bool fChanged = false;
    bool fBusy = false;
    bool fIsNew = false;
    bool fBusyDestroy = false;
    bool fDontStore = false;
    std::unique_ptr<std::vector<TBaseUILink*>> fUILinks;
    int32_t fDefID = 0;
};

} // namespace fmx
