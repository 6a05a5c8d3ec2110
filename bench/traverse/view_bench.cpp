// The traverse view offscreen with a 1,000-row connecting traverse: compute and
// build the plane table, show the precision table, write the section text.
// (Target: the three together well under a second on the reference machine.)
#include <benchmark/benchmark.h>

#include <QApplication>

#include "platform/fake_ports.h"
#include "platform/textfile.h"
#include "table/ui/table_widget.h"
#include "table/ui/ui_scale.h"
#include "tests/traverse/ui/long_traverse.h"
#include "traverse/file/traverse_section.h"
#include "traverse/ui/traverse_view.h"

namespace {

void App() {
  static int argc = 1;
  static char name[] = "traverse_view_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* a = new QApplication(argc, argv);
    SetUiScale(9);
    return a;
  }();
  (void)app;
}

void BM_ThousandRowComputeAndShow(benchmark::State& state) {
  App();
  platform::FakeMessagePort messages;
  traverse_ui::CTraverseViewHost host;
  host.Widget()->resize(1400, 800);
  CDxView& view = host.View();
  for (auto _ : state) {
    state.PauseTiming();
    traversetest::FillLongTraverse(view, 1000);
    view.ShowTable("SHUJUSHURU");
    state.ResumeTiming();
    view.OnCommand(table::ID_COMPUTE);
    view.ShowTable("JINGDU");
    traverse::TraverseSectionData d;
    view.GetSectionData(d);
    auto bytes = platform::EncodeGbkLines(traverse::WriteTraverseSectionLines(d));
    benchmark::DoNotOptimize(bytes);
  }
  if (!messages.Texts().empty()) state.SkipWithError(messages.Texts()[0].c_str());
}
BENCHMARK(BM_ThousandRowComputeAndShow)->Unit(benchmark::kMillisecond);

}  // namespace
