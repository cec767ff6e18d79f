// List files: a plain run of fixed-size records with no header, count or trailer; the number of
// records is the file size divided by the record size. Loading reads to the end of the file;
// saving keeps the previous file as a backup (".BAK") and writes the whole list anew.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qxt {

// Reads every record of the list file at `path`, in file order, handing each to `add`. True when
// the file was read to its end. On a failure (the file cannot be opened, or its last record is
// partial) returns false with the system's description in `error`; the records before the failure
// have been handed over.
bool LoadListFile(const std::string& path, std::size_t recordSize,
                  const std::function<void(const unsigned char* record)>& add, std::string& error);

// What SaveListFile did.
enum class ListSaveResult {
  Written,  // the list file holds the records; the previous file is the backup
  Empty,    // no records: the previous file became the backup and no list file is left
  Failed,   // the write failed: see SaveListFile
};

// Saves `count` records of `recordSize` bytes as the list file `path`, in order; `fill` writes
// record `index` into zeroed room of `recordSize` bytes. The previous list is kept:
// the old backup `backupPath` is deleted and the list file renamed to it (each
// step may fail silently, for instance when there is no file). An empty list writes nothing.
// When writing fails part-way, the incomplete list file is removed and the backup is renamed back
// to `path`, so the list file holds the previous list again; the system's description is put in
// `error`.
ListSaveResult SaveListFile(
    const std::string& path, const std::string& backupPath, std::size_t count,
    std::size_t recordSize,
    const std::function<void(std::size_t index, unsigned char* record)>& fill, std::string& error);

// The backup name of a list file: its extension replaced by ".BAK".
std::string BackupPath(const std::string& path);

}  // namespace qxt
