// The intersections and resections (QFJH .. BJHFJH).
#include "tools/tool_plugin.h"

namespace tools {

void RegisterIntersectionTools(ToolRegistry& r) { (void)r; }

}  // namespace tools
