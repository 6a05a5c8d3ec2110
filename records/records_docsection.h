#pragma once
// The records view as a section of the job file: reads into a fresh model and swaps
// it in only on CommitRead, so a failed open leaves the job on screen as it was.
#include <memory>

#include "platform/doc_section.h"
#include "records/records_section.h"

class CGcJlView;

namespace records {

class CRecordsDocSection final : public app::IDocSection {
 public:
  explicit CRecordsDocSection(CGcJlView& view) : view_(view) {}

  std::string Banner() const override { return app::kRecordsBanner; }
  void Reset() override;
  void WriteSection(app::LineWriter& out) override;
  void BeginRead(int fileVersion) override;
  void ReadSection(app::LineReader& in) override;
  void CommitRead() override;
  void AbortRead() override { pending_.reset(); }

 private:
  CGcJlView& view_;
  std::unique_ptr<RecordsData> pending_;
};

}  // namespace records
