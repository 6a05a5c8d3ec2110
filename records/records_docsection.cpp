#include "records/records_docsection.h"

#include "records/gcjl_view.h"

namespace records {

void CRecordsDocSection::Reset() { view_.ResetRecords(); }

void CRecordsDocSection::WriteSection(app::LineWriter& out) {
  for (std::string& line : view_.WriteRecords()) out.Write(std::move(line));
}

void CRecordsDocSection::BeginRead(int) {
  pending_ = std::make_unique<RecordsData>();
  pending_->Reset();
}

void CRecordsDocSection::ReadSection(app::LineReader& in) {
  if (!pending_) BeginRead(0);
  std::size_t pos = in.Position();
  ReadRecordsSectionLines(in.Lines(), pos, *pending_, &in.Notes());
  in.Seek(pos);
}

void CRecordsDocSection::CommitRead() {
  if (!pending_) return;
  view_.ApplyRecordsData(std::move(*pending_));
  pending_.reset();
}

}  // namespace records
