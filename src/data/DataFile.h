#pragma once

#include "data/DayRecord.h"
#include "data/DiaryImage.h"
#include "platform/core/Result.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

struct sqlite3;
class ChangeRecorder;

// Where a diary held in memory is kept on disk (the locked diary is one). A held diary is changed in memory
// first and then written whole by its store; when that fails, the memory is put back as it was written last.
// The store sees the diary's bytes only, never the engine.
class DiaryStore {
  public:
    virtual ~DiaryStore() = default;
    // The state written last, for the in-memory connection to take over. Throws PgError when it cannot.
    virtual DiaryImage load() = 0;
    // Throws PgError when the file can no longer take a change (gone, read-only, replaced by someone else).
    virtual void checkWritable() = 0;
    // Writes the whole in-memory diary (its bytes) durably. Throws PgError when it could not.
    virtual void save(QByteArrayView diary) = 0;
    // Writes the whole diary, kept as the store keeps it (a locked diary sealed), into a file of its own at
    // path in one step: a backup. Throws PgError; nothing is left at path then.
    virtual void writeCopy(QByteArrayView diary, const QString& path) = 0;
};

// What a sound diary holds, as a check finds it: the days recorded, the first and the last.
struct DiarySpan {
    qint64 days = 0;
    QString firstDay;
    QString lastDay;
};

// The open data file and every statement the program sends to it. Values always travel as bound
// parameters. Every failure of the engine is thrown as PgError::engine with the engine's description.
class DataFile {
  public:
    // Opens the file for shared read-write use; checks that it is a data file with the table DATA_FIL, of a
    // version this program knows (schema::kVersion or older).
    static std::unique_ptr<DataFile> open(const QString& path);
    // Opens a diary held in memory and kept on disk by store; the same checks as open.
    static std::unique_ptr<DataFile> openHeld(std::unique_ptr<DiaryStore> store);
    // Opens the image as a diary held in memory for reading only (a sealed backup); the same checks as open.
    static std::unique_ptr<DataFile> openReadOnly(DiaryImage image);
    // Reads a copy of the diary (a backup) into memory in rollback-journal mode, to be looked into or put
    // back, without the checks of open: inspect says what is wrong with it. Nothing is written beside the
    // file.
    static Result<std::unique_ptr<DataFile>> openCopy(const QString& path);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // The record of one day (the first one the file holds for it), or nothing when the day has none.
    std::optional<DayRecord> load(const QDate& day);

    // The row a save would change, or nothing when a save would add one.
    std::optional<qint64> findRow(const QDate& day);
    // The day's first row and what it holds, as a save finds it.
    DayState dayState(const QDate& day);
    // Writes the entry as a new row (row empty) or over the given row (the fields it edits), durably, in one
    // transaction. A temperature text that is not a number is refused and nothing is written.
    void write(const DayEntry& entry, std::optional<qint64> row);
    // The same over the day as it was found: false, and nothing written, when another program changed the day
    // since (checked inside the transaction, so no change slips in between).
    bool write(const DayEntry& entry, const DayState& expected);

    // Menstruation days, newest first (from through when given), until visit returns false. Reads no further
    // than asked.
    void forEachMenstruationDay(const std::function<bool(const QDate&)>& visit,
                                const std::optional<QDate>& through = std::nullopt);

    // The records dated first..last, newest first (rows of one day in the order the file holds them).
    std::vector<DayRecord> range(const QDate& first, const QDate& last);
    // The same days oldest first with only their date, temperature and menstruation flag: what her cycles are
    // made of, read without her texts.
    std::vector<DayRecord> cycleDays(const QDate& first, const QDate& last);

    // Deletes every record dated on or before day, and their readings' marks, and writes the day's fresh
    // record, in one transaction: on any failure nothing is deleted.
    void purgeThrough(const QDate& day, const DayEntry& fresh);

    // ---- Readings she marked as disturbed (除外), by date beside DATA_FIL: DataFileMarks.cpp ----
    // Marks the day's reading as disturbed, or takes the mark away, durably; the day's record is untouched,
    // so that the mark stays when she corrects the reading.
    void setExcluded(const QDate& day, bool excluded);
    // The days first..last whose reading is marked, oldest first.
    std::vector<QDate> excludedDays(const QDate& first, const QDate& last);
    // How many days of her records carry the mark.
    qint64 excludedCount();

    // The store of a held diary, or nothing for a file opened in place.
    DiaryStore* store() const { return store_.get(); }
    // A held diary's bytes as they lie in memory, without a copy: valid until the diary next changes. Empty
    // for a file opened in place.
    QByteArrayView image() const;

    // ---- The whole diary at once (export, import, backups, restore): DataFileTransfer.cpp ----
    // Reports how far a long operation has come; returning false asks it to stop (where it may).
    using Progress = std::function<bool(qint64 done, qint64 total)>;
    qint64 recordCount();
    // Every row in date order (rows of one day in the order the file holds them), until visit returns false.
    void forEachRow(const std::function<bool(const StoredRow&)>& visit);
    // What tells one state of the diary from a later one: the commits of other connections and the changes
    // of this one.
    struct Stamp {
        qint64 others = 0;
        qint64 own = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp stamp();
    enum class ImportResult { Written, Cancelled, Changed };
    // Adds the records and writes the others over the given rows, durably, in one transaction: Written.
    // Cancelled when progress asked to stop before the commit; Changed when the diary is no longer in the
    // state unchangedSince (checked once the write lock is held): nothing has changed then.
    ImportResult importRecords(const std::vector<DayRecord>& add,
                               const std::vector<std::pair<qint64, DayRecord>>& replace,
                               const Progress& progress = {},
                               const std::optional<Stamp>& unchangedSince = std::nullopt);

    // ---- Copies of the whole diary (backups, restore, the check): DataFileCopies.cpp ----
    // Copies the whole diary with SQLite's online backup API into the empty file at path, without a journal:
    // a copy that no one reads until it is whole (the caller syncs and renames it). Throws PgError.
    void copyInto(const QString& path, const Progress& progress = {});
    // Replaces the whole content of the file by the diary source in one step (the online backup API copying
    // into the live connection): on any failure the file is as it was. The source's first page is copied as
    // it is: a backup is read into memory in rollback-journal mode first (openCopy).
    void restoreFrom(DataFile& source, const Progress& progress = {});
    // SQLite's integrity check (thorough: it reads the whole file) and a look at the table DATA_FIL: that it
    // is the diary's own, whatever its rows hold. Why not, when it is not.
    Result<DiarySpan> inspect(bool thorough = true);
    // The same of a copy of the diary on disk, which is only read: nothing is written beside it.
    static Result<DiarySpan> inspectFile(const QString& path, bool thorough = true);

    // ---- Keeping her other computers in step: DataFileSync.cpp ----
    // Told of every change of her records inside its transaction; nothing: no one is told.
    void setRecorder(ChangeRecorder* recorder) { recorder_ = recorder; }
    ChangeRecorder* recorder() const { return recorder_; }
    // Runs work in one write transaction (durable, and written to a held diary's store once committed);
    // a PgError thrown by work rolls everything back.
    void transact(const std::function<void()>& work);
    // A record of the sync journals as the table SYNC_RECORD keeps it: its body is the journal's own bytes.
    struct SyncRow {
        QByteArray origin;
        qint64 seq = 0;
        qint64 time = 0;
        int kind = 0;
        QDate day;
        QByteArray body;
    };
    // Keeps a record; false when it is known already. Inside transact or a change's transaction.
    bool addSyncRecord(const SyncRow& row);
    // The same for many; for each, whether it was new.
    std::vector<bool> addSyncRecords(const std::vector<SyncRow>& rows);
    void removeSyncRecord(const QByteArray& origin, qint64 seq);
    // A record kept shorter (a version every computer has read, without its content).
    void setSyncBody(const QByteArray& origin, qint64 seq, const QByteArray& body);
    // The records of one day, of one kind, or a computer's own after its number seq.
    std::vector<SyncRow> syncRecordsOn(const QDate& day);
    std::map<QDate, std::vector<SyncRow>> syncRecordsOn(const std::set<QDate>& days);
    std::vector<SyncRow> syncRecordsOfKind(int kind);
    std::vector<SyncRow> syncRecordsAfter(const QByteArray& origin, qint64 seq);
    // The highest number of a computer's records, and the latest time of any record (0: none).
    qint64 lastSyncSeq(const QByteArray& origin);
    qint64 lastSyncTime();
    // The days changed since the records last followed them (by anyone: a trigger notes each), and the
    // records following them again (one day, or all).
    std::vector<QDate> dirtyDays();
    void followed(const QDate& day);
    void followed(const std::vector<QDate>& days);
    void followedAll();
    // The days that have records, and those that have more than one.
    std::vector<QDate> syncDays(bool severalOnly = false);
    // A small value of the sync's own (its computer's id, how far its journal is written), or empty.
    QByteArray syncState(const QString& name);
    void setSyncState(const QString& name, const QByteArray& value);
    // How far each other computer's journal has been read into this diary.
    struct SyncPosition {
        qint64 generation = 0;
        qint64 offset = 0;
    };
    std::map<QByteArray, SyncPosition> syncPositions();
    void setSyncPosition(const QByteArray& origin, const SyncPosition& position);
    // Every journal is read again from its start (another folder).
    void clearSyncPositions();
    // Makes the day hold exactly this record (nothing: no row), as a merge decided it; tells no recorder.
    // False when it held it already.
    bool putDay(const QDate& day, const std::optional<DayRecord>& record);
    // The same for many days at once (a merge); the days whose rows changed.
    std::vector<QDate> putDays(const std::vector<std::pair<QDate, std::optional<DayRecord>>>& days);

  private:
    explicit DataFile(QString path);
    // A diary in memory, the store's image taken over; with the checks of open when checked.
    static std::unique_ptr<DataFile> openInMemory(std::unique_ptr<DiaryStore> store, bool checked);
    // Checks that this is a data file with the table and its fields, of a version this program knows, before
    // anything else uses it.
    void checkFile();
    // Inside a write transaction: an older file takes this version's layout with its first write (never with
    // a read); a newer one, stamped meanwhile by a newer program, is refused and nothing is written.
    void bringUpToDate();
    // The write itself, inside a transaction already begun.
    void writeIn(const DayEntry& entry, std::optional<qint64> row, double temp);
    // Whether the file holds the marks' table yet (an older file takes it with its first write).
    bool hasMarks();
    // Whether the sync's tables are there yet (an older file takes them with its first write).
    bool hasSyncTables();
    // The mark of the day of DATA_FIL's row, as a column of a statement over DATA_FIL: 0 or 1.
    QString markColumn();
    // Inside a write transaction, after bringUpToDate: the day's mark set as given.
    void writeMark(const QString& isoDay, bool excluded);
    QSqlDatabase db() const;
    // The engine's handle of the connection.
    sqlite3* handle() const;
    // A write must reach the file the user sees at the path: one deleted or replaced since it was opened
    // would swallow the save without a trace.
    void ensureStillInPlace() const;
    // A held diary's change goes to its store once committed in memory.
    void persist();
    // Puts the image in place of the in-memory database, whose memory is wiped first.
    void takeOver(DiaryImage image);
    void wipe();

    QString path_;
    QString connection_;
    qint64 writes_ = 0;   // the writes this connection began, for Stamp
    bool marks_ = false;  // the marks' table was seen: it stays
    bool syncTables_ = false;
    quint64 device_ = 0;
    quint64 inode_ = 0;
    std::unique_ptr<DiaryStore> store_;
    ChangeRecorder* recorder_ = nullptr;
};

// The open data file, or the runtime's error when start-up could not open one.
DataFile& requireOpen(DataFile* file);

// The refusal of a data file of a newer version than this program knows.
PgError newerFile();

// The temperature text as the data file stores it: a plain decimal number (full-width digits count);
// throws the engine's conversion error otherwise.
double temperatureValue(const QString& text);
