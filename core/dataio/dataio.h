// Data import and export: the records of the data files as JSON lines or CSV, by field names.
// The formats, with examples, are in docs/data-io.md.
//
// ImportFiles adds the records of the given files to the data files of the working directory,
// creating a missing data file. Each input line names its file ("file": "PRODUCT") and gives
// fields by their text names ("PRD:MANUFAC"); fields left out are blank or zero. An import is all
// or nothing over all the given paths: every line is read and checked first (unknown file or
// field, a value too long for its field, a bad number, date or time), then the records are added
// inside transactions; a record that would break a unique key stops the import too. On any
// error nothing of the import stays stored, data files the import created are removed, and the
// Status text names the input file, the line number and the reason:
//     "prod.jsonl line 7: value too long for PRD:PROD_CODE (15 characters, at most 14)".
// On success `report` gets one line per data file ("PRODUCT: 12 records") in first-seen order.
//
// A transaction covers at most 10 data files. An import that touches more is written in groups
// of up to 10 files, one transaction each; when a later group fails, the records that earlier
// groups added are deleted again before the error is returned. Only a process killed between
// two groups can leave the earlier groups stored.
//
// ExportFile writes every record of one data file to `out`: "jsonl" (one JSON object per line,
// "file" first, then every field and memo in declaration order) or "csv" (a header line "file"
// plus the field names, then one row per record). The order is the key `key` ("PRD:BY_MAN_PRO"
// or "BY_MAN_PRO"); an empty `key` takes the file's first key, or the order records were added
// for a file without keys. Records that an optional key leaves out (all key fields blank) follow
// at the end in the order they were added, so an export always holds every record and importing
// it into empty files gives the same records back.
//
// Both work on the working directory's files and are used by one thread at a time.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/base/status.h"

namespace tdx::core {

inline constexpr int kImportRejected = 3101;    // a line of an import cannot be stored
inline constexpr int kImportRead = 3102;        // an import file cannot be read
inline constexpr int kExportBadRequest = 3103;  // unknown file, key or format

Status ImportFiles(const std::vector<std::string>& paths, std::ostream& report);
Status ExportFile(std::string_view label, std::string_view key, std::string_view format,
                  std::ostream& out);

}  // namespace tdx::core
