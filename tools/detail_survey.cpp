// The detail survey (SBCLDATA).
#include "tools/tool_plugin.h"

namespace tools {

void RegisterDetailSurveyTool(ToolRegistry& r) { (void)r; }

}  // namespace tools
