#include "globaldata.h"

#include "dmdata.h"

namespace fmx {

int32_t gDefGlobaleDataID = 0;
int32_t valNaamLang = 0;

void TGlobaleData::init() {
    TDataObjODRoot::init();
    cAddList(gldefGebruikers);
}

} // namespace fmx
