#pragma once
// What the shell needs from the views it frames. The help and drawing views and the
// traverse host implement these (each view's tree comes through app::INavSource,
// platform/nav_tree.h); the navigation pane and the document reach the views only
// through them, so both run in tests against recording fakes.
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

// What the document's computation alarm asks of the traverse view.
class ITraverseFacts {
 public:
  virtual ~ITraverseFacts() = default;
  virtual int TraverseType() const = 0;  // 0..5
  virtual int InputRowCount() const = 0;
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
