#include "table/export/zip_parts.h"

#include <zip.h>

#include <cstdio>

namespace table {

std::optional<std::vector<ZipPart>> ReadZip(const std::string& bytes, std::string* error, std::size_t maxPart) {
  auto fail = [&](const std::string& why) -> std::optional<std::vector<ZipPart>> {
    if (error) *error = why;
    return std::nullopt;
  };
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &ze);
  if (!src) {
    std::string why = zip_error_strerror(&ze);
    zip_error_fini(&ze);
    return fail("不能读取压缩包（" + why + "）。");
  }
  zip_t* za = zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &ze);
  if (!za) {
    zip_source_free(src);
    zip_error_fini(&ze);
    return fail("文件不是有效的压缩包。");
  }
  zip_error_fini(&ze);
  std::vector<ZipPart> parts;
  const zip_int64_t count = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
        !(st.valid & ZIP_STAT_SIZE)) {
      zip_discard(za);
      return fail("压缩包的目录已损坏。");
    }
    if (st.size > maxPart) {
      zip_discard(za);
      return fail(std::string("压缩包中的“") + st.name + "”过大。");
    }
    ZipPart p;
    p.name = st.name;
    p.stored = (st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_STORE;
    p.data.resize(static_cast<std::size_t>(st.size));
    zip_file_t* f = zip_fopen_index(za, static_cast<zip_uint64_t>(i), 0);
    const zip_int64_t got = f ? zip_fread(f, p.data.data(), p.data.size()) : -1;
    if (f) zip_fclose(f);
    if (got < 0 || static_cast<zip_uint64_t>(got) != st.size) {
      zip_discard(za);
      return fail(std::string("压缩包中的“") + p.name + "”已损坏。");
    }
    parts.push_back(std::move(p));
  }
  zip_discard(za);
  return parts;
}

std::optional<std::string> MakeZip(const std::vector<ZipPart>& parts, std::string* error) {
  zip_error_t ze;
  zip_error_init(&ze);
  auto fail = [&](const std::string& what) -> std::optional<std::string> {
    if (error) *error = "不能建立文档（" + what + "）。";
    zip_error_fini(&ze);
    return std::nullopt;
  };
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &ze);
  if (!src) return fail(zip_error_strerror(&ze));
  zip_source_keep(src);
  zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &ze);
  if (!za) {
    zip_source_free(src);
    return fail(zip_error_strerror(&ze));
  }
  for (const ZipPart& part : parts) {
    zip_source_t* s = zip_source_buffer(za, part.data.data(), part.data.size(), 0);
    const zip_int64_t idx = s ? zip_file_add(za, part.name.c_str(), s, ZIP_FL_ENC_UTF_8) : -1;
    if (idx < 0) {
      if (s) zip_source_free(s);
      std::string why = zip_strerror(za);
      zip_discard(za);
      zip_source_free(src);
      return fail(why);
    }
    zip_set_file_compression(za, static_cast<zip_uint64_t>(idx), part.stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0);
  }
  if (zip_close(za) != 0) {
    std::string why = zip_strerror(za);
    zip_discard(za);
    zip_source_free(src);
    return fail(why);
  }
  std::string bytes;
  if (zip_source_open(src) == 0) {
    zip_source_seek(src, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(src);
    zip_source_seek(src, 0, SEEK_SET);
    if (size > 0) {
      bytes.resize(static_cast<std::size_t>(size));
      if (zip_source_read(src, bytes.data(), bytes.size()) != size) bytes.clear();
    }
    zip_source_close(src);
  }
  zip_source_free(src);
  if (bytes.empty()) return fail("zip");
  zip_error_fini(&ze);
  return bytes;
}

}  // namespace table
