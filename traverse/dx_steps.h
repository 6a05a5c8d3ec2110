#pragma once
// Private helpers shared by the rigorous, precision, height, reduction and
// error-search steps of CDxView.
#include <string>

#include "survey/format.h"
#include "survey/sparse_least_squares.h"
#include "traverse/dx_view.h"

// The solver object behind m_pPlaneLsq / m_pHeightLsq.
class CDxView::CLsq : public survey::CSparseLsq {
 public:
  using survey::CSparseLsq::CSparseLsq;
};

namespace traverse::detail {

// Message texts ("%d" row numbers, "%s" UTF-8 names).
using survey::Format;

// Points the view's solver pointer at a local system for the length of one step.
class LsqScope {
 public:
  LsqScope(CDxView::CLsq*& slot, CDxView::CLsq* lsq) : slot_(slot) { slot_ = lsq; }
  ~LsqScope() { slot_ = nullptr; }
  LsqScope(const LsqScope&) = delete;
  LsqScope& operator=(const LsqScope&) = delete;

 private:
  CDxView::CLsq*& slot_;
};

}  // namespace traverse::detail
