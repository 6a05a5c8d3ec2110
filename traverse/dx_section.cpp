// CDxView: the traverse section of the job file (the text format itself is in
// dx_view_section.cpp).
#include "traverse/codes.h"
#include "traverse/dx_view.h"
#include "traverse/dx_view_docsection.h"
#include "traverse/dx_view_ports.h"

namespace traverse {

SchemeValues SchemeOf(const CDxView& v) { return v; }

void ApplyScheme(CDxView& v, const SchemeValues& s) { static_cast<SchemeValues&>(v) = s; }

void CTraverseDocSection::Reset() { view_.ResetScheme(); }

void CTraverseDocSection::WriteSection(app::LineWriter& out) {
  for (std::string& line : view_.WriteTraverseSection()) out.Write(std::move(line));
}

void CTraverseDocSection::BeginRead(int fileVersion) {
  fileVersion_ = fileVersion;
  pending_ = std::make_unique<TraverseSectionData>();
}

void CTraverseDocSection::ReadSection(app::LineReader& in) {
  if (!pending_) BeginRead(fileVersion_);
  std::size_t pos = in.Position();
  ReadTraverseSectionLines(in.Lines(), pos, fileVersion_, *pending_);
  in.Seek(pos);
}

void CTraverseDocSection::ReadLegacySection(app::LineReader& in) {
  if (!pending_) BeginRead(fileVersion_);
  ReadLegacyTraverseLines(in.Lines(), *pending_);
  in.Seek(in.Lines().size());
}

void CTraverseDocSection::CommitRead() {
  if (!pending_) return;
  view_.ApplySectionData(*pending_);
  pending_.reset();
}

void CTraverseDocSection::AbortRead() { pending_.reset(); }

}  // namespace traverse

void CDxView::GetSectionData(traverse::TraverseSectionData& d) const {
  d.scheme = traverse::SchemeOf(*this);
  d.knownSymbol = m_nKnownSymbol;
  d.otherSymbol = m_nOtherSymbol;
  d.ellipseScale = m_dEllipseScale;
  d.printScale = m_dLegacyPrintScale;
  d.angleDecimals = m_nAngleDecimals;
  d.distDecimals = m_nDistDecimals;
  d.coordDecimals = m_nCoordDecimals;
  d.dhDecimals = m_nDhDecimals;
  d.heightDecimals = m_nHeightDecimals;
  d.linesAbove = m_nLinesAbove;
  d.lineBelow = m_nLineBelow;
  for (int i = 0; i < 12; ++i) d.headerItems[static_cast<std::size_t>(i)] = GetHeaderText(i);
  d.rows.clear();
  d.rows.reserve(m_arrUnit.size());
  for (const CUnit& u : m_arrUnit) {
    traverse::SectionRow& row = d.rows.emplace_back();
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = u.*traverse::kRowTexts[i];
  }
}

void CDxView::ApplySectionData(const traverse::TraverseSectionData& d) {
  traverse::ApplyScheme(*this, d.scheme);
  m_nKnownSymbol = d.knownSymbol;
  m_nOtherSymbol = d.otherSymbol;
  m_dEllipseScale = d.ellipseScale;
  m_dLegacyPrintScale = d.printScale;
  m_nAngleDecimals = d.angleDecimals;
  m_nDistDecimals = d.distDecimals;
  m_nCoordDecimals = d.coordDecimals;
  m_nDhDecimals = d.dhDecimals;
  m_nHeightDecimals = d.heightDecimals;
  m_nLinesAbove = d.linesAbove;
  m_nLineBelow = d.lineBelow;
  for (int i = 0; i < 12; ++i) SetHeaderText(i, d.headerItems[static_cast<std::size_t>(i)]);
  m_arrUnit.assign(d.rows.size(), CUnit());
  for (std::size_t r = 0; r < d.rows.size(); ++r) {
    const traverse::SectionRow& t = d.rows[r];
    CUnit& u = m_arrUnit[r];
    for (std::size_t i = 0; i < t.size(); ++i) u.*traverse::kRowTexts[i] = t[i];
  }
  m_bComputed = 0;
  ConfigureProjection();
}

std::vector<std::string> CDxView::WriteTraverseSection() {
  if (TableCode == traverse::kTableInput) SaveInputTable();
  traverse::TraverseSectionData d;
  GetSectionData(d);
  return traverse::WriteTraverseSectionLines(d);
}
