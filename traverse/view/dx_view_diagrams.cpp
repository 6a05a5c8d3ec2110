#include "traverse/view/dx_view_diagrams.h"

#include "traverse/engine/dx_diagrams.h"
#include "traverse/view/dx_view.h"

namespace traverse {

void DrawErrorSearchDiagram(CDxView& v, drawing::IDrawFeed& feed) {
  DrawErrorSearchDiagram(DiagramRows(v), v.m_nTraverseType, feed);
}

void DrawTraverseDiagram(CDxView& v, drawing::IDrawFeed& feed) {
  if (!v.m_bComputed) {
    feed.BeginDrawing(drawing::kModeNetwork);
    v.OnCompute();
    return;
  }
  DrawTraverseDiagram(DiagramRows(v), v.m_bRigorous != 0, feed);
}

void DrawPointPlot(CDxView& v, drawing::IDrawFeed& feed) {
  if (!v.m_bComputed) {
    feed.BeginDrawing(drawing::kModePlot);
    v.OnCompute();
    return;
  }
  DrawPointPlot(DiagramRows(v), feed);
}

}  // namespace traverse
