#pragma once
// CVornDoc frames the job file: the header line, the version line and the three
// sections, which the records, traverse and tools views read and write themselves.
// It owns no model data. The frame's File commands (New, Open, Save, Save As, the
// save question) run here too, so that every path is tested without a window.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/doc_section.h"
#include "app/version.h"
#include "app/views.h"

namespace app {

inline constexpr const char* kFileHeader = "Quintar计算文件";
inline constexpr const char* kQvtFilter = "Quintar文件 (*.qvt)";
inline constexpr const char* kUntitled = "无标题";
// Largest job file that is opened. Real jobs are a few megabytes; the cap keeps a
// hostile file (millions of empty lines) from taking gigabytes as line strings.
inline constexpr std::size_t kMaxJobFileBytes = std::size_t(32) << 20;

// Low-version alarm: traverse type 0 or 1, more than 3 input rows, alarm switched on
// and a file of version 4.2 or older.
bool LowVersionAlarmApplies(int traverseType, int inputRows, int alarmOn, int fileVersion);

// What the document reaches; any pointer may be null (that part is skipped).
struct DocParts {
  IDocSection* records = nullptr;
  IDocSection* traverse = nullptr;
  IDocSection* tools = nullptr;
  IDrawingReset* drawing = nullptr;
  const ITraverseFacts* traverseFacts = nullptr;  // type and input rows for the alarm
  std::function<void()> resetTables;            // every grid back to its default settings
  std::function<void(int)> buildTrees;          // CLTView::BuildTrees
  std::function<void()> beforeSave;             // ends a cell edit still open in a grid
  std::function<void()> changed;                // path, title or modified flag changed
  std::function<void(const std::string&)> addRecent;  // a job was opened or saved here
};

class CVornDoc {
 public:
  CVornDoc();
  ~CVornDoc();
  CVornDoc(const CVornDoc&) = delete;
  CVornDoc& operator=(const CVornDoc&) = delete;

  void SetParts(DocParts parts) { parts_ = std::move(parts); }

  // The framework overrides.
  void DeleteContents();
  bool OnNewDocument();
  // Fails (false, job on screen untouched) for an unreadable file, a wrong header or
  // a newer file the user declines.
  bool OnOpenDocument(const std::string& path);
  // Atomic: on any failure the old file and the modified flag stay, and a message says so.
  bool OnSaveDocument(const std::string& path);

  // True while the job on screen came from a file that was not read whole and has
  // not been saved since.
  bool ReadIncomplete() const { return !incompleteRead_.empty(); }

  // Sections kept without a reader (see KeptSection), in file order.
  std::size_t KeptSectionCount() const { return kept_.size(); }

  // Writes the job to another file (mail attachment); path and flag stay.
  bool SaveCopy(const std::string& path);

  // The File commands as the frame runs them.
  bool FileNew();                           // asks to save first
  bool FileOpen(const std::string& path);   // asks to save first; "" = choose a file
  bool FileSave();                          // Save As when the job has no path yet
  bool FileSaveAs();
  // "是否保存对 %1 的更改?" for a modified job: Yes saves, No goes on, Cancel stops.
  // True when the caller may go on (close, open another, new).
  bool SaveModified();

  bool IsModified() const { return modified_; }
  void SetModifiedFlag(bool modified = true);
  const std::string& PathName() const { return path_; }
  std::string Title() const;  // file name, or "无标题"

  std::string m_strVersion;
  int m_bJustLoaded = 0;
  int m_nFileVersion = 520;
  int m_bLowVerAlarm = 1;

 private:
  void SetPathName(const std::string& path);
  void Notify();
  bool WriteJob(const std::string& path);

  // A section no registered view reads (its view is not in this build, or its
  // banner is unknown): its lines from banner to closing line, written back as they
  // were read. slot says where: after the section of that index (0 records,
  // 1 traverse, 2 tools) that preceded it in the file, -1 before all of them.
  struct KeptSection {
    int slot = -1;
    std::vector<std::string> lines;
  };
  std::vector<KeptSection> kept_;

  DocParts parts_;
  std::string path_;
  // What the open could not read whole ("" when the file was read whole): the first
  // save over the file asks before replacing it.
  std::string incompleteRead_;
  bool modified_ = false;
};

}  // namespace app
