#pragma once
// Private helpers shared by the rigorous, precision, height, reduction and
// error-search steps of CTraverseJob.
#include <string>

#include "survey/format.h"
#include "survey/sparse_least_squares.h"
#include "traverse/engine/traverse_job.h"

// The solver object behind m_pPlaneLsq / m_pHeightLsq.
class traverse::CTraverseJob::CLsq : public survey::CSparseLsq {
 public:
  using survey::CSparseLsq::CSparseLsq;
};

namespace traverse::detail {

// Message texts ("%d" row numbers, "%s" UTF-8 names).
using survey::Format;

// Points the view's solver pointer at a local system for the length of one step.
class LsqScope {
 public:
  LsqScope(CTraverseJob::CLsq*& slot, CTraverseJob::CLsq* lsq) : slot_(slot) { slot_ = lsq; }
  ~LsqScope() { slot_ = nullptr; }
  LsqScope(const LsqScope&) = delete;
  LsqScope& operator=(const LsqScope&) = delete;

 private:
  CTraverseJob::CLsq*& slot_;
};

}  // namespace traverse::detail
