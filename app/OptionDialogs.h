#pragma once

#include "dialogs/CellOptionsDialog.h"
#include "dialogs/RasterInfoDialog.h"
#include "dialogs/SymbologyDialog.h"
#include "dialogs/TextSymbologyDialog.h"

namespace mapfeed {

/// The option dialogs as the main window reaches them; each is made on its first use.
class OptionDialogs {
public:
    virtual ~OptionDialogs() = default;
    virtual SymbologyDialog& pntsym() = 0;
    virtual SymbologyDialog& linesym() = 0;
    virtual TextSymbologyDialog& textsym() = 0;
    virtual CellOptionsDialog& cellopts() = 0;
    virtual RasterInfoDialog& rasterinfo() = 0;
};

}  // namespace mapfeed
