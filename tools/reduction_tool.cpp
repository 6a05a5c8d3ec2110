// The direction and distance reduction.
#include "tools/tool_plugin.h"

namespace tools {

void RegisterReductionTool(ToolRegistry& r) { (void)r; }

}  // namespace tools
