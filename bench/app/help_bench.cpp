// The help view offscreen: the first page of a new view (target: under 300 ms) and a
// switch between topics (target: under 100 ms).
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/ui/help_view.h"
#include "table/ui/ui_scale.h"

static void InitResources() { Q_INIT_RESOURCE(res); }

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "app_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* a = new QApplication(argc, argv);
    InitResources();
    SetUiScale(9);
    return a;
  }();
  return *app;
}

void BM_HelpFirstPage(benchmark::State& state) {
  App();
  for (auto _ : state) {
    app_ui::CHelpView view;
    view.resize(1000, 700);
    view.OnInitialUpdate();
    benchmark::DoNotOptimize(view.document()->pageCount());
  }
}
BENCHMARK(BM_HelpFirstPage)->Unit(benchmark::kMillisecond);

void BM_HelpTopicSwitch(benchmark::State& state) {
  App();
  app_ui::CHelpView view;
  view.resize(1000, 700);
  view.OnInitialUpdate();
  const char* topics[] = {"计算方案", "常见问答", "计算成果", "功能简介"};
  int i = 0;
  for (auto _ : state) {
    view.ShowHelpTopic(topics[i++ % 4]);
    benchmark::DoNotOptimize(view.document()->pageCount());
  }
}
BENCHMARK(BM_HelpTopicSwitch)->Unit(benchmark::kMillisecond);

}  // namespace
