// The control-point dialog offscreen: the mode radios enable their controls, OK
// refuses with the gathered messages and keeps the dialog, the values reach the form.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/fake_ports.h"
#include "platform/services.h"
#include "traverse/ui/export_kzd_dlg.h"

namespace t = traverse;

namespace {

class KzdDlgTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "kzd_dlg_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
  }
  template <class W>
  W* Get(CExportKzdDlg& d, int id) {
    W* w = qobject_cast<W*>(d.Control(id));
    EXPECT_NE(w, nullptr) << id;
    return w;
  }
  platform::ScopedMemoryServices services;
  platform::FakeMessagePort messages;
};

}  // namespace

TEST_F(KzdDlgTest, RadiosEnableTheirControls) {
  t::CExportKzdForm form;
  CExportKzdDlg dlg(form);
  EXPECT_TRUE(Get<QRadioButton>(dlg, t::kIdModeRead)->isChecked());
  const int exportIds[] = {t::kIdExtension, t::kIdCountLine,  t::kIdSeparator, t::kIdExportPath,
                           t::kIdBrowseOther, t::kIdSequence, t::kIdKnownCode, t::kIdOtherCode};
  for (int radio : {t::kIdModeStore, t::kIdModeExport, t::kIdModeRead}) {
    SCOPED_TRACE(radio);
    Get<QRadioButton>(dlg, radio)->click();
    EXPECT_EQ(Get<QLineEdit>(dlg, t::kIdKzdPath)->isEnabled(), radio != t::kIdModeExport);
    EXPECT_EQ(Get<QPushButton>(dlg, t::kIdBrowseKzd)->isEnabled(), radio != t::kIdModeExport);
    EXPECT_EQ(Get<QComboBox>(dlg, t::kIdPolicy)->isEnabled(), radio == t::kIdModeStore);
    for (int id : exportIds) EXPECT_EQ(dlg.Control(id)->isEnabled(), radio == t::kIdModeExport) << id;
  }
}

TEST_F(KzdDlgTest, OkRefusesThenTakesTheValues) {
  t::CExportKzdForm form;
  form.LoadProfile(services.profile);
  CExportKzdDlg dlg(form);
  Get<QRadioButton>(dlg, t::kIdModeExport)->click();
  Get<QLineEdit>(dlg, t::kIdExtension)->setText(".");
  Get<QLineEdit>(dlg, t::kIdSequence)->setText("");
  EXPECT_FALSE(dlg.TryAccept());
  EXPECT_EQ(messages.Messages(), std::vector<std::string>{"文件后缀名不能为空\n数据序列不能为空\n"});

  Get<QLineEdit>(dlg, t::kIdExtension)->setText(".txt");
  Get<QLineEdit>(dlg, t::kIdSequence)->setText("DM,X,Y");
  Get<QLineEdit>(dlg, t::kIdExportPath)->setText("/tmp/out.txt");
  Get<QLineEdit>(dlg, t::kIdKnownCode)->setText("K");
  Get<QComboBox>(dlg, t::kIdSeparator)->setCurrentIndex(t::kKzdBlank);
  Get<QCheckBox>(dlg, t::kIdCountLine)->setChecked(true);
  ASSERT_TRUE(dlg.TryAccept());
  EXPECT_EQ(Get<QLineEdit>(dlg, t::kIdExtension)->text(), "txt");  // shown as it is used
  const t::CExportKzdForm& f = dlg.Form();
  EXPECT_EQ(f.mode, t::kKzdExport);
  EXPECT_EQ(f.extension, "txt");
  EXPECT_EQ(f.separator, t::kKzdBlank);
  EXPECT_TRUE(f.countLine);
  EXPECT_EQ(f.knownCode, "K");
  EXPECT_EQ(services.profile.GetString("USER", "OtherDataXl", ""), "DM,X,Y");

  // The store chooser fills the path edit.
  Get<QRadioButton>(dlg, t::kIdModeStore)->click();
  services.files.answers = {"/tmp/a.kzd"};
  Get<QPushButton>(dlg, t::kIdBrowseKzd)->click();
  EXPECT_EQ(Get<QLineEdit>(dlg, t::kIdKzdPath)->text(), "/tmp/a.kzd");
  ASSERT_TRUE(dlg.TryAccept());
  EXPECT_EQ(dlg.Form().mode, t::kKzdStore);
  EXPECT_EQ(dlg.Form().kzdPath, "/tmp/a.kzd");
}
