// Writing and deleting the record of a letter file (AWARDLTR, EXTPRLTR) safely against other
// stations.
//
// Both run inside a transaction on the one file that waits up to 2 seconds for another
// station's lock. update_letter() writes the record now in the file's buffer over the current
// record (the one last read); delete_letter() deletes the current record. They return:
//   kLetterDone (0)     the change is committed;
//   kLetterFailed (1)   nothing changed; a standard message said why (34 when the transaction
//                       could not begin, 15 or 17 when the write or delete failed);
//   kLetterChanged (2)  update only: another station changed the record since it was read
//                       (the letter window reads it with watch()); message 15 said "This record
//                       was changed by another station.", and the buffer now holds the other
//                       station's version, read again and watched, so a second save of the same
//                       buffer overwrites nothing it has not seen.
// The record's position is kept in a 512-byte position buffer for the re-read.
// REQUIRES: the file is open and has a current record.
#pragma once

#include "runtime/store/keyed_file.h"

namespace tdx::reports {

enum LetterResult { kLetterDone = 0, kLetterFailed = 1, kLetterChanged = 2 };

inline constexpr int kLetterLockWaitSeconds = 2;

int update_letter(store::KeyedFile& file);
int delete_letter(store::KeyedFile& file);

}  // namespace tdx::reports
