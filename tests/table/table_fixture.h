#pragma once
// Shared helpers of the grid tests: a view that counts its change notifications
// (and, like an input view, unlocks the rows it is told to), a host that records
// what the widget would be asked to do, and a canvas that records the drawing.
#include <functional>
#include <string>
#include <vector>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "table/canvas.h"
#include "table/table_set_form.h"
#include "table/table_view.h"

namespace tabletest {

class CountingView : public CTableView {
 public:
  void OnTableChanged() override {
    ++changed;
    rowsAtChange.push_back(GetRowCount());
    if (unlockAll)
      for (int r = 1; r <= GetRowCount(); ++r)
        for (int c = 1; c <= GetColCount(); ++c) SetCellLocked(r, c, false);
    CTableView::OnTableChanged();
  }
  int changed = 0;
  std::vector<int> rowsAtChange;
  bool unlockAll = false;
};

class RecordingHost final : public table::ITableHost {
 public:
  void Invalidate() override { ++invalidated; }
  void TakeFocus() override { ++focus; }
  void ShowEditor(const table::EditorState& e) override { shown.push_back(e); }
  void HideEditor() override { ++hidden; }
  void ScrollBarsChanged() override {}
  void ButtonsChanged() override {}
  void SetToolTip(const std::string& t) override { tips.push_back(t); }
  void SetEditCursor(bool on) override { editCursor = on; }
  int invalidated = 0, focus = 0, hidden = 0;
  bool editCursor = false;
  std::vector<table::EditorState> shown;
  std::vector<std::string> tips;
};

// A host whose table settings dialog is scripted: `edit` is the user's change, `ok`
// the button pressed; `seen` keeps what the dialog was given.
class SettingsHost final : public table::ITableHost {
 public:
  void Invalidate() override { ++invalidated; }
  void TakeFocus() override {}
  void ShowEditor(const table::EditorState&) override {}
  void HideEditor() override {}
  void ScrollBarsChanged() override {}
  void ButtonsChanged() override {}
  void SetToolTip(const std::string&) override {}
  void SetEditCursor(bool) override {}
  bool RunTableSettingsDialog(table::CTableSetForm& form) override {
    seen = form;
    ++runs;
    if (!ok) return false;
    if (edit) edit(form);
    return true;
  }
  bool ok = true;
  std::function<void(table::CTableSetForm&)> edit;
  table::CTableSetForm seen;
  int runs = 0, invalidated = 0;
};

class RecordingFrame final : public table::ITableFrame {
 public:
  RecordingFrame() { old_ = table::SetFramePort(this); }
  ~RecordingFrame() override { table::SetFramePort(old_); }
  void SetStatusPane(int pane, const std::string& text) override { panes[pane == 1 ? 0 : 1] = text; }
  void SetDocumentModified() override { ++modified; }
  void SwitchToDrawing(CTableView&) override { ++switched; }
  std::string panes[2];
  int modified = 0, switched = 0;

 private:
  table::ITableFrame* old_ = nullptr;
};

struct Op {
  enum Kind { Fill, Line, Poly, Text } kind;
  table::Rect rect;
  table::Color color;
  std::string text;
  table::TextStyle style;
  int width = 0;
};

class RecordingCanvas final : public table::ICanvas {
 public:
  void FillRect(const table::Rect& r, table::Color c) override { ops.push_back({Op::Fill, r, c, {}, {}, 0}); }
  void Line(int x1, int y1, int x2, int y2, table::Color c, int w) override {
    ops.push_back({Op::Line, {x1, y1, x2, y2}, c, {}, {}, w});
  }
  void FillPolygon(const table::Point* p, int n, table::Color c) override {
    table::Rect r{p[0].x, p[0].y, p[0].x, p[0].y};
    for (int i = 1; i < n; ++i) {
      r.left = std::min(r.left, p[i].x), r.right = std::max(r.right, p[i].x);
      r.top = std::min(r.top, p[i].y), r.bottom = std::max(r.bottom, p[i].y);
    }
    ops.push_back({Op::Poly, r, c, {}, {}, 0});
  }
  void SetFont(const table::Font&) override {}
  void DrawText(const table::Rect& r, std::string_view t, const table::TextStyle& s) override {
    ops.push_back({Op::Text, r, s.color, std::string(t), s, 0});
  }
  void SetClip(const table::Rect&) override {}
  void ResetClip() override {}

  const Op* FindText(const std::string& t) const {
    for (const auto& o : ops)
      if (o.kind == Op::Text && o.text == t) return &o;
    return nullptr;
  }
  bool HasFill(const table::Rect& r, table::Color c) const {
    for (const auto& o : ops)
      if (o.kind == Op::Fill && o.rect == r && o.color == c) return true;
    return false;
  }
  bool HasLine(int x1, int y1, int x2, int y2) const {
    for (const auto& o : ops)
      if (o.kind == Op::Line && o.rect == table::Rect{x1, y1, x2, y2}) return true;
    return false;
  }
  std::vector<Op> ops;
};

// An editable input table: every cell unlocked, texts "r,c" free of commas.
inline void MakeInputTable(CTableView& v, int rows, int cols) {
  v.OnInitialUpdate();
  v.SetReadOnly(false, true, false);
  v.NewTable(rows, cols, "测试表", true);
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) v.SetCellLocked(r, c, false);
}

}  // namespace tabletest
