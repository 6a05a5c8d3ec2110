#pragma once
// What the shell needs from the views it frames. The records, traverse, tools, help
// and drawing views implement these; the navigation pane and the document reach the
// views only through them, so both run in tests against recording fakes.
#include <string>

namespace app {

// View ids: the keys of the frame's view switch.
inline constexpr int kNavViewId = 1001;
inline constexpr int kMsgViewId = 1002;
inline constexpr int kRecordsViewId = 1004;
inline constexpr int kTraverseViewId = 1005;
inline constexpr int kToolsViewId = 1006;
inline constexpr int kHelpViewId = 1007;
inline constexpr int kDrawViewId = 1008;

// The frame's right pane.
class IViewSwitch {
 public:
  virtual ~IViewSwitch() = default;
  virtual void SwitchView(int id) = 0;
  virtual int RightViewId() const = 0;  // the view now in the right pane
};

// The frame's switch, set while the main frame exists (null otherwise).
extern IViewSwitch* g_pViewSwitch;

// Field books: 0 traverse ("DX"), 1 horizontal angle ("SHPJ"), 2 levelling ("SHZH").
class IRecordsNav {
 public:
  virtual ~IRecordsNav() = default;
  virtual int PageCount(int book) const = 0;
  // key "DX", "SHPJ", "SHZH" with a 0-based page, or "WYZHL" with -1.
  virtual bool ShowPage(const std::string& key, int page) = 0;
};

class ITraverseNav {
 public:
  virtual ~ITraverseNav() = default;
  virtual int TraverseType() const = 0;                 // 0..5
  virtual int InputRowCount() const = 0;
  virtual std::string CustomTableName(int i) const = 0;  // i = 0..9; "" when unnamed
  // A table code of traverse/codes.h (kTableInput, ..., CustomTableCode(i)).
  virtual void ShowTable(const std::string& code) = 0;
  virtual void DrawErrorSearchDiagram() = 0;
  virtual void DrawTraverseDiagram() = 0;
  virtual void DrawPointPlot() = 0;
};

class IToolsNav {
 public:
  virtual ~IToolsNav() = default;
  virtual int ToolRowCount(const std::string& toolCode) const = 0;  // rows in its store
  virtual bool ShowTool(const std::string& toolCode) = 0;
};

class IHelpNav {
 public:
  virtual ~IHelpNav() = default;
  virtual void ShowHelpTopic(const std::string& topic) = 0;
};

class IDrawingReset {
 public:
  virtual ~IDrawingReset() = default;
  virtual void ResetView() = 0;
};

}  // namespace app
