#pragma once
// Adding our sheets to a workbook the user already has. Every part of that workbook
// stays as it was (its sheets, shared strings, charts, formats); only the lists that
// name the parts grow: the workbook's sheet list and relationships, the content
// types and the style table. Our sheets come from our own writer's package, their
// texts as inline strings and their cell styles renumbered into the workbook's table.
#include <optional>
#include <string>
#include <vector>

namespace table {

// The sheet names of a workbook package in their order; nullopt with a Chinese reason
// when it cannot be read as a workbook.
std::optional<std::vector<std::string>> WorkbookSheetNames(const std::string& package, std::string* error);

// `book` with the sheets of `ours` added after its own; nullopt with a Chinese reason
// when `book` cannot be read (the caller then leaves the file alone). The names of
// ours must already differ from the book's.
std::optional<std::string> AddSheetsToWorkbook(const std::string& book, const std::string& ours, std::string* error);

}  // namespace table
