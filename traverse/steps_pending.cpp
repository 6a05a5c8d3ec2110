// Placeholder bodies of the rigorous, height, reduction and error-search steps
// while their own source files are being written. CMakeLists.txt enables each
// one only while no other source defines it; the file goes once all exist.
#include "platform/ports.h"
#include "traverse/dx_view.h"

namespace {
int Pending() {
  platform::Messages().ShowMessage("该计算功能尚未完成。");
  return 0;
}
}  // namespace

#ifdef DX_PENDING_FormPlaneEquations
int CDxView::FormPlaneEquations(int) { return Pending(); }
#endif
#ifdef DX_PENDING_AdjustPlaneRigorous
int CDxView::AdjustPlaneRigorous() { return Pending(); }
#endif
#ifdef DX_PENDING_EvaluatePrecision
int CDxView::EvaluatePrecision() { return Pending(); }
#endif
#ifdef DX_PENDING_ComputeApproxCoords
int CDxView::ComputeApproxCoords() { return Pending(); }
#endif
#ifdef DX_PENDING_ComputeApproxHeights
int CDxView::ComputeApproxHeights() { return Pending(); }
#endif
#ifdef DX_PENDING_FormHeightEquations
int CDxView::FormHeightEquations() { return Pending(); }
#endif
#ifdef DX_PENDING_AdjustHeights
int CDxView::AdjustHeights() { return Pending(); }
#endif
#ifdef DX_PENDING_ComputeLevelling
int CDxView::ComputeLevelling() { return Pending(); }
#endif
#ifdef DX_PENDING_ReduceObservations
int CDxView::ReduceObservations() { return Pending(); }
#endif
#ifdef DX_PENDING_SearchPlaneError
int CDxView::SearchPlaneError(int) { return Pending(); }
#endif
