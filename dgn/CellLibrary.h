#pragma once
// Cell libraries (version 7, 2D): a library header (type 5 on level 8) first, then for each
// cell its definition (type 1) followed by its components (elements with the complex bit).
// Read with the element walk, so a library of any size costs one small buffer; only the cell
// asked for is kept.
#include <optional>
#include <string>
#include <vector>

#include "dgn/Bytes.h"
#include "dgn/Element.h"
#include "dgn/Elements.h"

namespace dgn {

/// One cell of a library: its definition and its components as stored.
struct LibraryCell {
    LibraryCellHeader header;
    int level = 0;          ///< the definition's own level
    Bytes components;       ///< the component elements, one after the other
    std::size_t count = 0;  ///< how many components
    Range range{};          ///< the union of the components' ranges
};

/// What reading a library found: the cell names in file order, the cell asked for, or why the
/// file is no usable library (worded to follow the library's name).
struct CellLibraryRead {
    std::vector<std::string> names;
    std::optional<LibraryCell> cell;
    std::string problem;
};

/// Reads the library at path. With wanted, keeps the first cell of that name (compared without
/// regard to case, as Radix-50 has one case) and stops there.
CellLibraryRead readCellLibrary(const std::string& path, const std::optional<std::string>& wanted = std::nullopt);

/// The library header every library starts with (level 8, type 5, 23 words).
Bytes encodeLibraryHeader();

}  // namespace dgn
