#pragma once
// Private helpers shared by the rigorous, precision, height, reduction and
// error-search steps of CTraverseJob.
#include <string>

#include "survey/format.h"
#include "traverse/engine/traverse_job.h"

namespace traverse::detail {

// Message texts ("%d" row numbers, "%s" UTF-8 names).
using survey::Format;

}  // namespace traverse::detail
