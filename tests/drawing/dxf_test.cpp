// The DXF writer, read back by an independent reader (ezdxf, through the system
// Python): the audit, entities per type and layer, layer colours and line types,
// named coordinates with the axis swap, text heights and Chinese names; the same
// bytes on a second run and under a comma-decimal locale. And the CAD dialog's
// decisions around it: path check, failure, opening the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "drawing/draw_view.h"
#include "drawing/dxf_writer.h"
#include "drawing/export_cad.h"
#include "platform/fake_ports.h"
#include "platform/gbk.h"
#include "platform/services.h"
#include "platform/textfile.h"

#ifndef QUINTAR_SOURCE_DIR
#define QUINTAR_SOURCE_DIR "."
#endif

namespace {

namespace fs = std::filesystem;
using drawing::CDrawView;

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  while (std::size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  pclose(p);
  return out;
}

bool HaveEzdxf() { return Shell("/usr/bin/python3 -c 'import ezdxf; print(1)' 2>/dev/null") == "1\n"; }

class DxfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quintar-dxf-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Audit(const std::string& path) {
    return Shell("/usr/bin/python3 " QUINTAR_SOURCE_DIR "/tests/drawing/dxf_audit.py '" + path + "' 2>&1");
  }
  // A small traverse diagram: known A, B with their names, two unknown points with
  // ellipses, the forward line, a dashed red backward line and a labelled point.
  void Fill(CDrawView& v) {
    v.BeginDrawing(0);
    v.SetLayer("返", -1, 1, 1, true);
    v.AddControlPoint("A", 1, 3456789.123456, 512345.654321, 0, -1, -1, -1);
    v.AddControlPoint("B", 1, 3456889.0, 512345.654321, 0, -1, -1, -1);
    v.AddControlPoint("导1", 0, 3456889.0, 512445.0, 0, 10, 5, 0);
    v.AddControlPoint("导2", 0, 3456789.123456, 512445.0, 0, 8, 4, 1.0);
    const int fw = v.BeginPolyline("往");
    v.AddPolylineVertex(3456789.123456, 512345.654321, fw);
    v.AddPolylineVertex(3456889.0, 512345.654321, fw);
    v.AddPolylineVertex(3456889.0, 512445.0, fw);
    v.BeginPolyline("返");
    v.AddPolylineVertex(3456889.0, 512445.0);
    v.AddPolylineVertex(3456789.123456, 512445.0);
    v.AddLine("边长", 3456789.123456, 512345.654321, 3456789.123456, 512445.0);
    v.AddLabelledPoint("坐标旋转中心点", 3456800, 512400, "O", "", 0, 0, 1, 0);
  }
  fs::path dir_;
};

TEST_F(DxfTest, ReadBackByAnIndependentReader) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf not installed";
  CDrawView v;
  Fill(v);
  const std::string path = (dir_ / "plan.dxf").string();
  std::string error;
  ASSERT_TRUE(drawing::WriteDxf(v, path, &error)) << error;
  const std::string facts = Audit(path);
  auto has = [&](const std::string& line) {
    EXPECT_NE(facts.find(line + "\n"), std::string::npos) << "missing: " << line << "\n" << facts;
  };
  has("audit 0");
  has("version AC1009");
  has("layer 返 1 DASHED on");
  has("layer 往 7 CONTINUOUS on");
  has("layer 点位误差椭圆 7 CONTINUOUS on");
  has("count POLYLINE 往 1");
  has("count POLYLINE 返 1");
  has("count POLYLINE 点位误差椭圆 2");
  has("count POLYLINE 已知点符号 2");  // two triangles
  has("count LINE 边长 1");
  has("count LINE 点位误差椭圆 4");    // both axes of both ellipses
  has("count TEXT 已知点 2");
  has("count TEXT 未知点 2");
  has("count CIRCLE 坐标旋转中心点 1");
  // DXF X = east (y), DXF Y = north (x), to the micrometre.
  has("vertex 往 0 512345.654321 3456789.123456");
  has("vertex 往 2 512445.000000 3456889.000000");
  has("vertex 返 1 512445.000000 3456789.123456");
  has("line 边长 512345.654321 3456789.123456 512445.000000 3456789.123456");
  // Labels 2.5 mm at 1:1000: 2.5 units; Chinese names survive GBK.
  has("text 未知点 2.500 导1");
  has("text 已知点 2.500 A");
  has("closed 点位误差椭圆 1");
  // The ellipse of 导1 (E = 10 mm north, F = 5 mm, ellipse scale 1): 10 m north of
  // the point and 5 m east of it at 1:1000.
  has("vertex 点位误差椭圆 0 512445.000000 3456899.000000");
  has("vertex 点位误差椭圆 18 512450.000000 3456889.000000");
}

TEST_F(DxfTest, StyleWidthsAndHiddenLayers) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf not installed";
  CDrawView v;
  v.BeginDrawing(1);
  v.SetLayer("粗线", 0, 5, 17, false);
  v.AddLine("粗线", 10, 20, 30, 40);
  v.AddDetailPoint("碎部点", "101", "45.20", 5, 6, 0.5);
  v.AddControlPoint("P", 0, 1, 2, 12.5, -1, -1, -1);
  const std::string path = (dir_ / "detail.dxf").string();
  ASSERT_TRUE(drawing::WriteDxf(v, path, nullptr));
  const std::string facts = Audit(path);
  auto has = [&](const std::string& line) {
    EXPECT_NE(facts.find(line + "\n"), std::string::npos) << "missing: " << line << "\n" << facts;
  };
  has("audit 0");
  has("layer 粗线 5 CONTINUOUS off");  // hidden: written, switched off
  has("count POLYLINE 粗线 1");        // a wide line goes as a polyline with width
  has("count CIRCLE 碎部点 1");
  has("count POINT 碎部点 1");
  has("count TEXT 碎部点名 1");
  has("text 未知点 2.500 12.500");      // drawing mode 1: the value under the name
}

// Texts and layer names come from the user's rows: a line break in a name or a
// layer called "0" or "a/b" must not break the file or its layer table.
TEST_F(DxfTest, TextsAndLayerNamesFromTheUserKeepTheFileWhole) {
  if (!HaveEzdxf()) GTEST_SKIP() << "python3-ezdxf not installed";
  CDrawView v;
  v.BeginDrawing(0);
  v.SetLayer("0", -1, 3, -1, false);
  v.AddLine("0", 10, 20, 30, 40);
  v.AddLine("a/b:c", 10, 20, 30, 40);
  v.AddLine(" 边长 ", 10, 20, 30, 40);
  v.AddLine("Edge", 10, 20, 30, 41);
  v.AddLine("EDGE", 10, 20, 30, 42);  // one layer for the CAD program
  v.AddControlPoint("GP02\r\nENDSEC", 1, 1, 2, 0, -1, -1, -1);
  v.AddControlPoint("A\tB\nC\rD", 0, 3, 4, 0, -1, -1, -1);
  v.AddLabelledPoint("标注", 5, 6, "x\n0\nEOF", "", 0, 0, 1, 0);
  const std::string path = (dir_ / "user.dxf").string();
  std::string error;
  ASSERT_TRUE(drawing::WriteDxf(v, path, &error)) << error;
  const std::string facts = Audit(path);
  auto has = [&](const std::string& line) {
    EXPECT_NE(facts.find(line + "\n"), std::string::npos) << "missing: " << line << "\n" << facts;
  };
  has("audit 0");
  has("text 已知点 2.500 GP02 ENDSEC");
  has("text 未知点 2.500 A B C D");
  has("text 标注 2.500 x 0 EOF");
  has("layer 0 3 CONTINUOUS on");  // the drawing's own layer "0", once
  has("layer a_b_c 7 CONTINUOUS on");
  has("layer 边长 7 CONTINUOUS on");
  has("count LINE 0 1");
  has("count LINE a_b_c 1");
  has("count LINE 边长 1");
  std::size_t zeros = 0;
  for (std::size_t at = facts.find("layer 0 "); at != std::string::npos; at = facts.find("layer 0 ", at + 1)) ++zeros;
  EXPECT_EQ(zeros, 1u) << facts;
  std::size_t edges = 0;
  for (const char* n : {"layer Edge ", "layer EDGE "})
    if (facts.find(n) != std::string::npos) ++edges;
  EXPECT_EQ(edges, 1u) << facts;
}

TEST_F(DxfTest, SameBytesTwiceAndUnderACommaLocale) {
  CDrawView v;
  Fill(v);
  const std::string a = drawing::BuildDxf(v);
  EXPECT_EQ(drawing::BuildDxf(v), a);
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    EXPECT_EQ(drawing::BuildDxf(v), a);
    std::setlocale(LC_ALL, saved.c_str());
  }
  EXPECT_NE(a.find("$DWGCODEPAGE\r\n3\r\nANSI_936\r\n"), std::string::npos);
  EXPECT_EQ(a.find(','), std::string::npos) << "no decimal comma anywhere";
  // GBK on disk.
  const std::string path = (dir_ / "gbk.dxf").string();
  ASSERT_TRUE(drawing::WriteDxf(v, path, nullptr));
  const auto bytes = platform::ReadFileBytes(path);
  ASSERT_TRUE(bytes);
  EXPECT_NE(bytes->find(*platform::Utf8ToGbk("导1")), std::string::npos);
}

// A drawing of some megabytes goes to disk in pieces: the file is the whole text in
// GBK, and a name GBK cannot hold, met after the first pieces are written, fails
// the write with that character and leaves the old file.
TEST_F(DxfTest, LargeFileInPiecesIsTheWholeTextAndFailsWhole) {
  CDrawView v;
  v.BeginDrawing(0);
  for (int i = 0; i < 600; ++i)
    v.AddControlPoint("导" + std::to_string(i), i % 7 == 0, 3456000.0 + i, 512000.0 + 2 * i, 0, 8, 4, 0.01 * i);
  const std::string path = (dir_ / "big.dxf").string();
  std::string error;
  ASSERT_TRUE(drawing::WriteDxf(v, path, &error)) << error;
  const auto whole = platform::Utf8ToGbk(drawing::BuildDxf(v));
  ASSERT_TRUE(whole);
  ASSERT_GT(whole->size(), std::size_t(3) << 20);
  EXPECT_EQ(*platform::ReadFileBytes(path), *whole);

  v.AddControlPoint("坏😀", 0, 3456000.0, 512000.0, 0, -1, -1, -1);
  EXPECT_FALSE(drawing::WriteDxf(v, path, &error));
  EXPECT_NE(error.find("😀"), std::string::npos) << error;
  EXPECT_EQ(*platform::ReadFileBytes(path), *whole);
  EXPECT_FALSE(fs::exists(path + ".tmp~"));
}

TEST_F(DxfTest, CadFormPathChecksFailureAndOpening) {
  platform::ScopedMemoryServices services;
  platform::FakeMessagePort messages;
  CDrawView v;
  Fill(v);
  drawing::CExportCadForm form(
      [&v](const std::string& p, std::string* e) { return drawing::WriteDxf(v, p, e); });
  struct Case {
    std::string path;
  } refused[] = {{""}, {"plan.dxf.txt"}, {(dir_ / "A.DXF").string()}, {".dxf"}};
  for (const auto& c : refused) {
    messages.Clear();
    form.m_strPath = c.path;
    EXPECT_FALSE(form.OnExportToNewFile()) << c.path;
    ASSERT_EQ(messages.Messages().size(), 1u) << c.path;
    EXPECT_EQ(messages.Messages()[0], "请正确填写DXF文件的保存路径！");
  }
  EXPECT_TRUE(services.desktop.opened.empty());

  // A folder that does not exist: "输出失败", the path in the message, nothing opened.
  messages.Clear();
  const std::string bad = (dir_ / "missing" / "plan.dxf").string();
  form.m_strPath = bad;
  EXPECT_FALSE(form.OnExportToNewFile());
  EXPECT_EQ(form.m_strStatus, "输出失败");
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_NE(messages.Messages()[0].find(bad), std::string::npos);
  EXPECT_TRUE(services.desktop.opened.empty());
  EXPECT_FALSE(fs::exists(bad));

  const std::string good = (dir_ / "plan.dxf").string();
  form.m_strPath = "  " + good + " ";
  messages.Clear();
  EXPECT_TRUE(form.OnExportToNewFile());
  ASSERT_EQ(services.desktop.opened.size(), 1u);
  EXPECT_EQ(services.desktop.opened[0], good);
  EXPECT_TRUE(messages.Messages().empty());
  EXPECT_EQ(form.m_strStatus, "");
  form.m_bOpenAfter = false;
  EXPECT_TRUE(form.OnExportToNewFile());
  ASSERT_EQ(messages.Messages().size(), 1u);
  EXPECT_EQ(messages.Messages()[0], "输出到dxf文件完成。");
}

TEST(CadHint, ScaleHintSentence) {
  drawing::CExportCadForm form;
  form.SetScaleHint(500);
  EXPECT_EQ(form.ScaleHint(),
            "当前图形比例为1：500，输出到CAD后图形比例总是1:1000，请在CAD中打印时设置比例为1毫米=0.5单位");
  form.SetScaleHint(2000);
  EXPECT_EQ(form.ScaleHint(),
            "当前图形比例为1：2000，输出到CAD后图形比例总是1:1000，请在CAD中打印时设置比例为1毫米=2单位");
}

}  // namespace
