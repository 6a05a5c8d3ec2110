#include "traverse/view/dx_view_diagrams.h"

#include "traverse/codes.h"
#include "traverse/engine/dx_diagrams.h"
#include "traverse/view/dx_view.h"

namespace traverse {

namespace {

// The grid as it stands is the job: what was typed since the last read makes the
// rows (and the results computed from them) stale.
void ReadShownInput(CDxView& v) {
  if (v.TableCode == kTableInput && v.GetRowCount() >= 1) v.SaveInputTable();
}

}  // namespace

void DrawErrorSearchDiagram(CDxView& v, drawing::IDrawFeed& feed) {
  ReadShownInput(v);
  DrawErrorSearchDiagram(DiagramRows(v), v.m_nTraverseType, feed);
}

void DrawTraverseDiagram(CDxView& v, drawing::IDrawFeed& feed) {
  ReadShownInput(v);
  if (!v.m_bComputed) {
    feed.BeginDrawing(drawing::kModeNetwork);
    v.OnCompute();
    return;
  }
  DrawTraverseDiagram(DiagramRows(v), v.m_bRigorous != 0, feed);
}

void DrawPointPlot(CDxView& v, drawing::IDrawFeed& feed) {
  ReadShownInput(v);
  if (!v.m_bComputed) {
    feed.BeginDrawing(drawing::kModePlot);
    v.OnCompute();
    return;
  }
  DrawPointPlot(DiagramRows(v), feed);
}

}  // namespace traverse
