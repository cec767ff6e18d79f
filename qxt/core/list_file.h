// List files: a plain run of fixed-size records with no header, count or trailer; the number of
// records is the file size divided by the record size. Loading reads to the end of the file;
// saving writes the whole list anew to a temporary file beside the list file, then copies the
// previous file to a backup (".BAK") and puts the new one in its place in one step.
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
            // (with no previous file the backup is untouched)
  Failed,   // the write failed: see SaveListFile
};

// What saving an empty list leaves behind.
enum class EmptyList {
  NoFile,     // no list file: the previous one becomes the backup (ListSaveResult::Empty)
  EmptyFile,  // an empty list file, saved like any other list
};

// Saves `count` records of `recordSize` bytes as the list file `path`, in order; `fill` writes
// record `index` into zeroed room of `recordSize` bytes. The records go first to the temporary
// file TempListPath(path); only when that is complete is the list file copied to `backupPath`
// and the temporary file moved onto `path`, replacing it in one step, so that at no moment is
// there no list file. When any step fails the temporary file is removed, the list file stays as
// it was, and the system's description is put in `error`: a failed save never loses what was
// saved before. Without a list file (a first save) the backup is left as it is. An empty list
// saved as EmptyList::NoFile moves the list file onto the backup in one step (Empty; Failed when
// that move fails).
ListSaveResult SaveListFile(
    const std::string& path, const std::string& backupPath, std::size_t count,
    std::size_t recordSize,
    const std::function<void(std::size_t index, unsigned char* record)>& fill, std::string& error,
    EmptyList empty = EmptyList::NoFile);

// The backup name of a list file: its extension replaced by ".BAK".
std::string BackupPath(const std::string& path);

// The temporary file a list is written to before it replaces the list file: its extension
// replaced by ".$$$".
std::string TempListPath(const std::string& path);

}  // namespace qxt
