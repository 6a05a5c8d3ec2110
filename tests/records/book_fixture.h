#pragma once
// Small helpers for filling field-book pages the way a booker types them.
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "records/dx_shb.h"
#include "records/shpj_shb.h"
#include "records/shzh_shb.h"

namespace records_test {

// One row of typed cells: (cell, text) pairs.
using Typed = std::vector<std::pair<int, std::string>>;

template <class Page>
void Type(Page& page, int row, const Typed& cells) {
  for (const auto& [cell, text] : cells) page.At(row, cell) = text;
}

}  // namespace records_test
