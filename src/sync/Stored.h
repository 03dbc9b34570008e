#pragma once

#include "data/DataFile.h"
#include "sync/Record.h"

// Records as the diary keeps them (SYNC_RECORD) and days as the diary holds them (DATA_FIL).
namespace syncing {

DataFile::SyncRow rowOf(const Record& record);
// The same with the bytes it was read from (they are its encoding).
DataFile::SyncRow rowOf(const Record& record, const QByteArray& body);
// Nothing for a row whose body is no record (a damaged file).
std::optional<Record> recordOf(const DataFile::SyncRow& row);
std::vector<Record> recordsOf(const std::vector<DataFile::SyncRow>& rows);

DayContent contentOf(const DayRecord& day);
DayRecord dayOf(const QDate& date, const DayContent& content);

}  // namespace syncing
