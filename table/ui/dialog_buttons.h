#pragma once
// The 确定 / 取消 row of the program's own dialogs.
#include <functional>

class QDialog;
class QHBoxLayout;

namespace table_ui {

// OK is the default button and accepts only when tryAccept agrees (it says why when
// not); Cancel rejects. With stretch the buttons stand at the right.
QHBoxLayout* OkCancelRow(QDialog* dialog, std::function<bool()> tryAccept, bool stretch = true);

}  // namespace table_ui
