#pragma once
// The traverse view's diagrams ("平面查错图形", "导线图", "展点图"): the job's rows
// handed to the diagram builders of the engine. The traverse diagram and the
// point plot run the computation instead of drawing while nothing is computed (a
// successful computation re-selects the diagram, which then draws).
#include "drawing/draw_feed.h"

class CDxView;

namespace traverse {

void DrawErrorSearchDiagram(CDxView& view, drawing::IDrawFeed& feed);
void DrawTraverseDiagram(CDxView& view, drawing::IDrawFeed& feed);
void DrawPointPlot(CDxView& view, drawing::IDrawFeed& feed);

}  // namespace traverse
