// Costs of the field books at the size of a large job: computing three books of
// 1,000 pages each, writing and reading their section, one edit and one page shown
// on a 200-row page.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/fake_ports.h"
#include "records/gcjl_view.h"
#include "records/records_section.h"

namespace {

std::string S(int v) { return std::to_string(v); }

// Every station of every page observed: two sets of a traverse (slope distances),
// an angle station, a levelling station in double-scale staffs.
void FillBooks(CGcJlView& v, int pages) {
  v.ResetRecords();
  v.m_dx.m_nDistanceType = kDistanceSlope;
  v.m_dx.m_arrPages.clear();
  v.m_shpj.m_arrPages.clear();
  v.m_shzh.m_arrPages.clear();
  for (int p = 0; p < pages; ++p) {
    v.m_dx.AddPage();
    v.m_shpj.AddPage();
    v.m_shzh.AddPage();
    auto& dx = v.m_dx.m_arrPages.back();
    for (int f = 0; f + 4 <= dx.RowCount(); f += 4) {
      const std::string st = "P" + S(p * 100 + f);
      for (int k = 0; k < 2; ++k) {
        const int c = f + 2 * k;
        for (int t = 0; t < 2; ++t) {
          auto& row = dx.m_arrRows[static_cast<std::size_t>(c + t)];
          row[2] = k == 0 ? (t == 0 ? "0.0010" : "123.4520") : (t == 0 ? "90.0012" : "213.4524");
          row[3] = k == 0 ? (t == 0 ? "180.0004" : "303.4516") : (t == 0 ? "270.0008" : "33.4520");
          row[6] = t == 0 ? "88.1524" : "91.0230";
          row[7] = t == 0 ? "271.4442" : "268.5736";
          row[10] = t == 0 ? "250.123" : "198.456";
        }
      }
      dx.m_arrRows[static_cast<std::size_t>(f)][0] = st;
      dx.m_arrRows[static_cast<std::size_t>(f)][1] = "P" + S(p * 100 + f - 4);
      dx.m_arrRows[static_cast<std::size_t>(f + 1)][0] = "1.520";
      dx.m_arrRows[static_cast<std::size_t>(f + 1)][1] = "P" + S(p * 100 + f + 4);
      dx.m_arrRows[static_cast<std::size_t>(f)][13] = "1.600";
      dx.m_arrRows[static_cast<std::size_t>(f + 1)][13] = "1.600";
    }
    auto& a = v.m_shpj.m_arrPages.back();
    for (int f = 0; f + 4 <= a.RowCount(); f += 4) {
      a.m_arrRows[static_cast<std::size_t>(f)][0] = "O" + S(p * 100 + f);
      for (int r = f; r < f + 4; ++r) {
        a.m_arrRows[static_cast<std::size_t>(r)][1] = r % 2 ? "B" : "A";
        a.m_arrRows[static_cast<std::size_t>(r)][2] = r % 2 ? "45.3012" : "0.0010";
        a.m_arrRows[static_cast<std::size_t>(r)][3] = r % 2 ? "225.3004" : "180.0002";
      }
    }
    auto& l = v.m_shzh.m_arrPages.back();
    for (int r = 0; r + 2 < l.RowCount(); r += 3) {
      const int n = p * 13 + r / 3;
      auto& b = l.m_arrRows[static_cast<std::size_t>(r)];
      auto& f = l.m_arrRows[static_cast<std::size_t>(r + 1)];
      b[0] = S(n + 1);
      b[1] = n == 0 ? "BM1" : "TP" + S(n);
      f[1] = "TP" + S(n + 1);
      b[2] = "1600"; f[2] = "1400"; b[3] = "1550"; f[3] = "1350";
      b[6] = "1523"; b[7] = "6210"; f[6] = "0691"; f[7] = "5478";
    }
  }
}

void BM_ComputeThreeBooks1000Pages(benchmark::State& state) {
  platform::FakeMessagePort msg;
  CGcJlView v;
  FillBooks(v, 1000);
  for (auto _ : state) {
    v.OnCompute();
    benchmark::DoNotOptimize(v.FieldResults().size());
  }
  if (!msg.Messages().empty()) state.SkipWithError(msg.Messages()[0].c_str());
}
BENCHMARK(BM_ComputeThreeBooks1000Pages)->Unit(benchmark::kMillisecond);

void BM_WriteAndReadSection1000Pages(benchmark::State& state) {
  platform::FakeMessagePort msg;
  CGcJlView v;
  FillBooks(v, 1000);
  for (auto _ : state) {
    const std::vector<std::string> lines = v.WriteRecords();
    records::RecordsData d;
    d.Reset();
    std::size_t pos = 1;
    records::ReadRecordsSectionLines(lines, pos, d);
    benchmark::DoNotOptimize(d.dx.m_arrPages.size());
  }
}
BENCHMARK(BM_WriteAndReadSection1000Pages)->Unit(benchmark::kMillisecond);

void Page200(CGcJlView& v) {
  FillBooks(v, 2);
  v.OnInitialUpdate();
  v.SetClientSize(1600, 1000);
  v.m_dx.m_nTableRows = 200;
  for (auto& p : v.m_dx.m_arrPages) p.SetRowCount(v.m_dx.RowsPerPage());
}

void BM_TableChanged200Rows(benchmark::State& state) {
  platform::FakeMessagePort msg;
  CGcJlView v;
  Page200(v);
  v.ShowPage("DX", 0);
  for (auto _ : state) {
    v.SetCellText(1, 3, "0.0011");
    v.OnTableChanged();
  }
}
BENCHMARK(BM_TableChanged200Rows)->Unit(benchmark::kMicrosecond);

void BM_ShowPage200Rows(benchmark::State& state) {
  platform::FakeMessagePort msg;
  CGcJlView v;
  Page200(v);
  int page = 0;
  for (auto _ : state) {
    v.ShowPage("DX", page);
    page = 1 - page;
  }
}
BENCHMARK(BM_ShowPage200Rows)->Unit(benchmark::kMicrosecond);

}  // namespace
