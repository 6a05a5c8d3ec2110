#pragma once
// The common points of the transformation parameters as their dialog edits them in a
// CListEx: mode 1 four parameters (x, y before, X, Y after), mode 2 seven (x, y, z,
// X, Y, Z). Filling the list from a store and the checks of OK live here. Std only.
#include <string>
#include <vector>

#include "table/list_ex.h"

namespace tools {

// The prompt above the list.
std::string CommonPointPrompt(int mode);
// Columns "序号" and the data columns, one row per stored point, the input row.
void FillCommonPointList(CListEx& list, int mode, const std::vector<std::string>& store);
// Whether the list holds other points than the store it was filled from (trailing
// empty rows aside): closing it then loses what was typed.
bool CommonPointsEdited(const CListEx& list, int mode, const std::vector<std::string>& store);
// OK: "" and the points in out, or the message that keeps the dialog open.
std::string AcceptCommonPoints(CListEx& list, int mode, std::vector<std::string>& out);

}  // namespace tools
