// Whole job files through CVornDoc with the real traverse section plugged in.
// Checked: a refused file leaves the job on screen as it was; an accepted one
// saves, the saved file opens again and saves to the same bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/doc.h"
#include "platform/ports.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "tests/fuzz/fuzz_common.h"
#include "traverse/view/dx_view.h"
#include "traverse/file/traverse_section.h"
#include "traverse/view/dx_view_ports.h"

namespace t = traverse;

namespace {

// Every question answered Yes, so newer and older files are read on.
struct YesPort final : platform::IMessagePort {
  void ShowMessage(const std::string&, platform::MsgIcon) override {}
  bool AskYesNo(const std::string&, platform::MsgIcon) override { return true; }
  platform::Answer AskYesNoCancel(const std::string&) override { return platform::Answer::No; }
  void Beep() override {}
  void SetWaitCursor(bool) override {}
};

struct NoDialogs final : t::ITraverseViewPorts {
  SchemeResult RunSchemeDialog(t::CSchemeForm&) override { return SchemeResult::Cancel; }
  bool RunCustomTableDialog(traverse::CCusTableSetForm&) override { return false; }
  void ReselectAfterCompute(bool) override {}
  void RebuildAndSelectInput() override {}
  void SelectCustomFormsBranch() override {}
  void ClearTreeSelection() override {}
  void ShowSchemeHelp() override {}
  bool IsDocumentModified() const override { return false; }
  void SetDocumentModified() override {}
};

struct Facts final : app::ITraverseFacts {
  explicit Facts(const CDxView& v) : view(v) {}
  int TraverseType() const override { return view.m_nTraverseType; }
  int InputRowCount() const override { return static_cast<int>(view.m_arrUnit.size()); }
  const CDxView& view;
};

struct Env {
  Env() {
    platform::SetMessagePort(&port);
    view.SetViewPorts(&dialogs);
    view.ResetScheme();
    app::DocParts parts;
    parts.traverse = &section;
    parts.traverseFacts = &facts;
    doc.SetParts(std::move(parts));
    doc.OnNewDocument();
    // Saves sync to disk; a memory file system keeps that from being the bottleneck.
    std::error_code ec;
    std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                     ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
    dir = base / ("quintar_doc_fuzz_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  std::vector<std::string> Section() {
    app::LineWriter out;
    section.WriteSection(out);
    return out.Lines();
  }

  YesPort port;
  platform::ScopedMemoryServices services;
  NoDialogs dialogs;
  CDxView view;
  t::CTraverseDocSection section{view};
  Facts facts{view};
  app::CVornDoc doc;
  std::filesystem::path dir;
};

bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Env* env = [] {
    auto* e = new Env;  // lives for the whole run; only its scratch folder is removed
    static const std::filesystem::path dir = e->dir;
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(dir, ec);
    });
    return e;
  }();
  const std::string in = env->Path("in.qvt"), a = env->Path("a.qvt"), b = env->Path("b.qvt");
  if (!WriteBytes(in, data, size)) return 0;

  const std::vector<std::string> before = env->Section();
  if (!env->doc.OnOpenDocument(in)) {
    FUZZ_CHECK(env->Section() == before, "refused file changed the job on screen");
    return 0;
  }
  FUZZ_CHECK(env->doc.OnSaveDocument(a), "an opened job cannot be saved");
  FUZZ_CHECK(env->doc.OnOpenDocument(a), "a saved job does not open again");
  FUZZ_CHECK(env->doc.OnSaveDocument(b), "a reopened job cannot be saved");
  auto first = platform::ReadFileBytes(a), second = platform::ReadFileBytes(b);
  FUZZ_CHECK(first && second && *first == *second, "save-open-save changed the file");
  return 0;
}
