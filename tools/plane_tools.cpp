// The plane coordinate tools (PMZBZHSH, PMZBFSH, JZB, ZBXZH, JJZHJ).
#include "tools/tool_plugin.h"

namespace tools {

void RegisterPlaneTools(ToolRegistry& r) { (void)r; }

}  // namespace tools
