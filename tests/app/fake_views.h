#pragma once
// Recording fakes of the views the shell frames: sections that keep their lines, and
// navigation targets that log every call.
#include <string>
#include <vector>

#include "app/views.h"
#include "platform/doc_section.h"
#include "records/records_nav.h"
#include "tools/tool_nav.h"
#include "traverse/view/traverse_nav.h"

namespace apptest {

using Log = std::vector<std::string>;

// A section whose model is its list of content lines.
class FakeSection final : public app::IDocSection {
 public:
  FakeSection(std::string name, std::string banner, Log* log) : name_(std::move(name)), banner_(std::move(banner)), log_(log) {}

  std::string Banner() const override { return banner_; }
  void Reset() override {
    model.clear();
    log_->push_back(name_ + ".reset");
  }
  void WriteSection(app::LineWriter& out) override {
    log_->push_back(name_ + ".write");
    out.Write(banner_);
    for (const auto& l : model) out.Write(l);
    out.Write(app::kSectionEnd);
  }
  void BeginRead(int version) override {
    staged.clear();
    readVersion = version;
    log_->push_back(name_ + ".begin");
  }
  void ReadSection(app::LineReader& in) override {
    log_->push_back(name_ + ".read@" + std::to_string(in.Position()));
    std::string line;
    while (in.Next(&line)) {
      if (line == app::kSectionEnd) return;
      staged.push_back(line);
    }
  }
  void ReadLegacySection(app::LineReader& in) override {
    log_->push_back(name_ + ".legacy@" + std::to_string(in.Position()));
    std::string line;
    while (in.Next(&line)) staged.push_back(line);
  }
  void CommitRead() override {
    model = staged;
    staged.clear();
    log_->push_back(name_ + ".commit");
  }
  void AbortRead() override {
    staged.clear();
    log_->push_back(name_ + ".abort");
  }

  std::vector<std::string> model;
  std::vector<std::string> staged;
  int readVersion = -1;

 private:
  std::string name_, banner_;
  Log* log_;
};

class FakeDrawing final : public app::IDrawingReset {
 public:
  explicit FakeDrawing(Log* log) : log_(log) {}
  void ResetView() override { log_->push_back("drawing.reset"); }

 private:
  Log* log_;
};

class FakeFrame final : public app::IViewSwitch {
 public:
  explicit FakeFrame(Log* log) : log_(log) {}
  void SwitchView(int id) override {
    id_ = id;
    log_->push_back("switch " + std::to_string(id));
  }
  int RightViewId() const override { return id_; }

 private:
  Log* log_;
  int id_ = app::kTraverseViewId;
};

class FakeRecords final : public records::IRecordsNavTarget {
 public:
  explicit FakeRecords(Log* log) : log_(log) {}
  int PageCount(int book) const override { return pages[static_cast<std::size_t>(book)]; }
  bool ShowPage(const std::string& key, int page) override {
    log_->push_back("ShowPage " + key + " " + std::to_string(page));
    return true;
  }
  std::vector<int> pages{0, 0, 0};

 private:
  Log* log_;
};

// The traverse as the adjustment tree and the document see it; it brings its views
// forward through the frame, as the host does through the shell.
class FakeTraverse final : public traverse::ITraverseNavTarget, public app::ITraverseFacts {
 public:
  explicit FakeTraverse(Log* log, FakeFrame* frame = nullptr) : log_(log), frame_(frame) {}
  void ShowInFrame(bool drawing) override {
    if (frame_) frame_->SwitchView(drawing ? app::kDrawViewId : app::kTraverseViewId);
  }
  int TraverseType() const override { return type; }
  int InputRowCount() const override { return rows; }
  std::string CustomTableName(int i) const override { return names[static_cast<std::size_t>(i)]; }
  void ShowTable(const std::string& code) override { log_->push_back("ShowTable " + code); }
  void DrawErrorSearchDiagram() override { log_->push_back("DrawErrorSearchDiagram"); }
  void DrawTraverseDiagram() override { log_->push_back("DrawTraverseDiagram"); }
  void DrawPointPlot() override { log_->push_back("DrawPointPlot"); }
  int type = 0;
  int rows = 0;
  std::vector<std::string> names = std::vector<std::string>(10);

 private:
  Log* log_;
  FakeFrame* frame_;
};

class FakeTools final : public tools::IToolsNavTarget {
 public:
  explicit FakeTools(Log* log) : log_(log) {}
  int ToolRowCount(const std::string& code) const override {
    for (const auto& [c, n] : rows)
      if (c == code) return n;
    return 0;
  }
  bool ShowTool(const std::string& code) override {
    log_->push_back("ShowTool " + code);
    return true;
  }
  std::vector<std::pair<std::string, int>> rows;

 private:
  Log* log_;
};

class FakeHelp final : public app::IHelpNav {
 public:
  explicit FakeHelp(Log* log) : log_(log) {}
  void ShowHelpTopic(const std::string& topic) override { log_->push_back("Help " + topic); }

 private:
  Log* log_;
};

}  // namespace apptest
