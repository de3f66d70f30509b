// The application's global data: the framework creates its global data object from the object
// definition whose ID the application schema stores in gDefGlobaleDataID.
#pragma once

#include "dataobj.h"

#include <cstdint>

namespace fmx {

// 0 until the application schema declares its global data definition.
extern int32_t gDefGlobaleDataID;
// The framework's long name value ("Naam"); 0 while it is not declared.
extern int32_t valNaamLang;

// The global data root of the framework (versions, "LastUsedID", the user administration list) and
// base class of the application's global data.
class TGlobaleData : public TDataObjODRoot {
public:
    void init() override;
};

} // namespace fmx
