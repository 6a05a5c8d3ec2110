#pragma once
// The traverse view as a section of the job file: the adapter the document talks to,
// and the copies between the view's scheme members and plain scheme values.
#include <memory>

#include "platform/doc_section.h"
#include "traverse/dx_view_section.h"
#include "traverse/scheme_form.h"

class CDxView;

namespace traverse {

SchemeValues SchemeOf(const CDxView& view);
void ApplyScheme(CDxView& view, const SchemeValues& scheme);

// Reads into a fresh model and swaps it in only on CommitRead, so a failed open
// leaves the job on screen as it was.
class CTraverseDocSection final : public app::IDocSection {
 public:
  explicit CTraverseDocSection(CDxView& view) : view_(view) {}

  std::string Banner() const override { return app::kTraverseBanner; }
  void Reset() override;
  void WriteSection(app::LineWriter& out) override;
  void BeginRead(int fileVersion) override;
  void ReadSection(app::LineReader& in) override;
  void ReadLegacySection(app::LineReader& in) override;
  void CommitRead() override;
  void AbortRead() override;

 private:
  CDxView& view_;
  int fileVersion_ = 520;
  std::unique_ptr<TraverseSectionData> pending_;
};

}  // namespace traverse
