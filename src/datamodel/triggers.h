// Trigger bits: what changed. A trigger (node, flags, second object) travels from the node up to
// the file root, passing the UI links and handleTrigger of every node on the way.
#pragma once

#include <cstdint>

namespace fmx {

enum TTriggerBits : int32_t {
    trgValueChanged = 0x001,
    trgRefEmptyAgain = 0x002,
    trgObjAdded = 0x004,
    trgObjLeaving = 0x008,
    trgChangeState = 0x010,
    trgNameChanged = 0x020,
    trgNodeDeleted = 0x040,
    trgObjMoved = 0x080,
    trgVersionUpdated = 0x100,
    trgNoteObjPath = 0x200,
    trgNoteState = 0x400,
    trgUILinkMask = 0x4FF, // the bits UI links see
};

// Fixed numbers.
enum TObjAction : int32_t { oa_Change = 0, oa_AddObj = 1, oa_DelObj = 2 };

} // namespace fmx
