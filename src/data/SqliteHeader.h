#pragma once

#include <QtGlobal>

// Bytes 18 and 19 of an SQLite file's header are 2 when the file asks for write-ahead logging. Every copy of
// the diary (a backup, a restore, a locked diary's image) is kept in rollback-journal mode: an in-memory
// connection cannot open a database in write-ahead mode, and a file opened so leaves -wal and -shm files
// beside it.
inline void toRollbackMode(unsigned char* bytes, qint64 size) {
    if (size > 19 && (bytes[18] == 2 || bytes[19] == 2)) bytes[18] = bytes[19] = 1;
}
