// The network drawing at the size of a large job: 20,000 control points (every
// other one with an error ellipse, every tenth known), 20,000 lines joining them
// and 20,000 labelled points. Feed, one screen frame through the recording and the
// QPainter canvas (all of it visible, and 1 % of it), the query hit test, the DXF
// file and a one-page PDF.
// Targets: feed < 20 ms, full frame < 100 ms, 1 % frame < 10 ms, query < 2 ms,
// DXF < 1 s, PDF < 2 s.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "drawing/draw_view.h"
#include "drawing/dxf_writer.h"
#include "drawing/recording_canvas.h"
#include "drawing/ui/draw_print.h"
#include "drawing/ui/qt_draw_canvas.h"

namespace {

constexpr int kCount = 20000;
constexpr int kColumns = 200;  // 200 x 100 points, 10 m apart: 2 km east, 1 km north

void App() {
  static int argc = 1;
  static char name[] = "drawing_bench";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QGuiApplication(argc, argv);
  }();
  (void)app;
}

struct Scene {
  std::vector<std::string> names, labels;
  Scene() {
    for (int i = 0; i < kCount; ++i) {
      names.push_back("P" + std::to_string(i));
      labels.push_back("碎" + std::to_string(i));
    }
  }
};

const Scene& Names() {
  static const Scene s;
  return s;
}

double North(int i) { return 3456000.0 + (i / kColumns) * 10.0; }
double East(int i) { return 512000.0 + (i % kColumns) * 10.0; }

void Feed(drawing::IDrawFeed& feed) {
  const Scene& s = Names();
  feed.BeginDrawing(drawing::kModeNetwork);
  for (int i = 0; i < kCount; ++i) {
    const bool ellipse = i % 2 == 1;
    feed.AddControlPoint(s.names[i], i % 10 == 0, North(i), East(i), 0, ellipse ? 8.0 : -1, ellipse ? 4.0 : -1,
                         ellipse ? 0.3 * (i % 7) : -1);
  }
  for (int i = 0; i < kCount; ++i) {
    const int j = (i + 1) % kCount;
    feed.AddLine("边长", North(i), East(i), North(j), East(j));
  }
  for (int i = 0; i < kCount; ++i)
    feed.AddLabelledPoint("碎部点", North(i) + 3, East(i) + 4, s.labels[i], "", 0, 0, 1, 0);
}

// The view on a 1920 x 1080 screen with the whole network in sight.
drawing::CDrawView& FullView() {
  static drawing::CDrawView* v = [] {
    auto* view = new drawing::CDrawView;
    drawing::ScreenMetrics m;
    m.clientWidth = 1920;
    m.clientHeight = 1080;
    view->SetMetrics(m);
    Feed(*view);
    view->OnZoomAll();
    return view;
  }();
  return *v;
}

// The same network zoomed ten times about the screen's centre: 1 % of it in sight.
drawing::CDrawView& OnePercentView() {
  static drawing::CDrawView* v = [] {
    auto* view = new drawing::CDrawView;
    view->SetMetrics(FullView().Metrics());
    Feed(*view);
    view->OnZoomAll();
    const double k = view->m_dUnitsPerMetre * 10;
    const drawing::DPoint c = drawing::DeviceMapping::Screen(view->Metrics()).ToLogical({960, 540});
    view->m_ptOrigin = {c.x - (c.x - view->m_ptOrigin.x) * 10, c.y - (c.y - view->m_ptOrigin.y) * 10};
    view->SetScale(10000 / k);
    return view;
  }();
  return *v;
}

// Into a new view each time (a view fed before would keep its arrays' room).
void BM_Feed(benchmark::State& state) {
  Names();
  for (auto _ : state) {
    drawing::CDrawView view;
    Feed(view);
    benchmark::DoNotOptimize(view.m_arrKzd.size());
  }
}
BENCHMARK(BM_Feed)->Unit(benchmark::kMillisecond);

void RecordingFrame(benchmark::State& state, drawing::CDrawView& view) {
  drawing::RecordingCanvas canvas;
  for (auto _ : state) {
    canvas.Clear();
    view.OnDraw(canvas);
    benchmark::DoNotOptimize(canvas.calls.data());
  }
  state.counters["calls"] = double(canvas.calls.size());
}

// A frame on the QPainter canvas. Warm: with the view widget's cache of faces,
// label layouts and symbols, filled by the frame it painted before (every
// repaint after the first: hover, pan, zoom at a fixed label height). Cold: the
// first frame, everything laid out and drawn anew.
void PainterFrame(benchmark::State& state, drawing::CDrawView& view, bool warm = true) {
  App();
  QImage image(1920, 1080, QImage::Format_ARGB32_Premultiplied);
  auto cache = std::make_unique<drawing_ui::QtDrawCanvas::Cache>();
  auto frame = [&] {
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawing_ui::QtDrawCanvas canvas(p, cache.get());
    view.OnDraw(canvas);
  };
  if (warm) frame();
  for (auto _ : state) {
    if (!warm) {
      state.PauseTiming();
      cache = std::make_unique<drawing_ui::QtDrawCanvas::Cache>();
      state.ResumeTiming();
    }
    frame();
  }
}

void BM_FrameFullRecording(benchmark::State& state) { RecordingFrame(state, FullView()); }
void BM_FrameFullPainter(benchmark::State& state) { PainterFrame(state, FullView()); }
void BM_FrameFullPainterCold(benchmark::State& state) { PainterFrame(state, FullView(), false); }
void BM_FrameOnePercentRecording(benchmark::State& state) { RecordingFrame(state, OnePercentView()); }
void BM_FrameOnePercentPainter(benchmark::State& state) { PainterFrame(state, OnePercentView()); }
BENCHMARK(BM_FrameFullRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameFullPainter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameFullPainterCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameOnePercentRecording)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameOnePercentPainter)->Unit(benchmark::kMillisecond);

// A miss tests every point: the worst case of the hover.
void BM_QueryPointAt(benchmark::State& state) {
  const drawing::CDrawView& view = FullView();
  const drawing::DPoint miss = view.WorldToLogical(North(0) - 500, East(0) - 500);
  drawing::DRect hit;
  std::string text;
  for (auto _ : state) benchmark::DoNotOptimize(view.QueryPointAt(miss, &hit, text));
}
BENCHMARK(BM_QueryPointAt)->Unit(benchmark::kMicrosecond);

void BM_DxfPointsWithEllipses(benchmark::State& state) {
  drawing::CDrawView view;
  view.BeginDrawing(drawing::kModeNetwork);
  const Scene& s = Names();
  for (int i = 0; i < kCount; ++i) view.AddControlPoint(s.names[i], 0, North(i), East(i), 0, 8.0, 4.0, 0.3 * (i % 7));
  QTemporaryDir dir;
  const std::string path = dir.filePath("net.dxf").toStdString();
  for (auto _ : state) {
    std::string error;
    if (!drawing::WriteDxf(view, path, &error)) state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_DxfPointsWithEllipses)->Unit(benchmark::kMillisecond);

void BM_DxfWholeNetwork(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("net.dxf").toStdString();
  for (auto _ : state) {
    std::string error;
    if (!drawing::WriteDxf(FullView(), path, &error)) state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_DxfWholeNetwork)->Unit(benchmark::kMillisecond);

void BM_PdfOnePage(benchmark::State& state) {
  App();
  QTemporaryDir dir;
  drawing::CDrawView& view = FullView();
  view.m_dPrintScale = 5000;  // the 2 km network on A4
  for (auto _ : state) {
    QPdfWriter w(dir.filePath("net.pdf"));
    w.setPageSize(QPageSize(QPageSize::A4));
    w.setPageOrientation(QPageLayout::Landscape);
    w.setResolution(600);
    if (!drawing_ui::PrintDrawing(view, w)) state.SkipWithError("PDF not written");
  }
}
BENCHMARK(BM_PdfOnePage)->Unit(benchmark::kMillisecond);

}  // namespace
