// The coordinate transformations.
#include "tools/tool_plugin.h"

namespace tools {

void RegisterTransformTools(ToolRegistry& r) { (void)r; }

}  // namespace tools
