// The heighting, area and open-traverse tools (SJGCH, MJJSH, ZHDX).
#include "tools/tool_plugin.h"

namespace tools {

void RegisterHeightingTools(ToolRegistry& r) { (void)r; }

}  // namespace tools
