#pragma once
// The file one opening of an export dialog writes to. "输出到当前文件" adds to it,
// "输出到新文件" asks for another one, "完成" opens it; the dialog forgets it at exit.
// Writers that rebuild the whole file on every export (a workbook, a document) keep
// what they wrote so far in `content`, and rebuild only while the file is still
// exactly what they wrote: a file the user has (chosen for "输出到当前文件", or
// changed since the last export) is read and added to instead.
#include <any>
#include <functional>
#include <string>

namespace table {

struct CExportSession {
  std::string path;     // the file written in this session; "" before the first export
  std::string target;   // where the next export goes (chosen by Attach)
  bool newFile = false; // the next export starts a new file instead of adding to `path`
  bool written = false; // at least one export of this session succeeded
  std::any content;     // the writer's model of `path`, for the next rewrite
  std::string stamp;    // size and hash of `path` as this session last wrote it
  std::string note;     // what the last export changed to make the table fit, for the dialog

  // Chooses the target of the next export: the session's file when there is one and
  // a new file is not asked for, otherwise a path from the file chooser (the
  // overwrite question only for a new file: the current one is added to). False when
  // the user cancelled.
  bool Attach(bool newFile, const std::string& caption, const std::string& filter,
              const std::string& suffix);
  // A successful export to `target`: it becomes the session's file.
  void Commit();
  void Forget() { *this = CExportSession{}; }
  // What the session's file holds so far; nothing when the next export starts a file.
  template <class T>
  T Kept() const {
    const T* kept = newFile ? nullptr : std::any_cast<T>(&content);
    return kept ? *kept : T{};
  }
  // True when the next export must read the target and add to it: it exists and is
  // not, or no longer, the file this session wrote from `content`.
  bool AddsToFile() const;
  // Writes the target through `write` (path, reason out) under the wait cursor; on
  // success commits, on failure says why and returns false.
  bool Write(const std::function<bool(const std::string& path, std::string* error)>& write);
};

}  // namespace table
