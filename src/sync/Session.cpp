#include "sync/Session.h"

#include "sync/FolderSalt.h"
#include "sync/Stored.h"

#include <QFile>
#include <QFileInfo>
#include <map>
#include <set>

namespace syncing {
namespace {

const QString kSelf = QStringLiteral("self");            // the id the diary last kept its records for
const QString kJournaled = QStringLiteral("journaled");  // this computer's last number in its journal
const QString kGeneration = QStringLiteral("generation");
const QString kTold = QStringLiteral("told");  // the conflicts she has been told of
const QString kFolder = QStringLiteral("folder");
const QString kReconciled = QStringLiteral("reconciled");  // every day was compared with the records once  //
                                                           // the folder the journal and the positions are for

// A sealed folder without its key: nothing is read or written there, the diary's table keeps the records.
const QString kSealedWithoutKey =
    QStringLiteral("同期ﾌｫﾙﾀﾞは暗号化されています。ﾊﾟｽﾜｰﾄﾞを入力するまで同期しません。");

qint64 number(const QByteArray& value) { return value.isEmpty() ? 0 : value.toLongLong(); }
QByteArray text(qint64 value) { return QByteArray::number(value); }

// The days a record reaches in this diary.
std::vector<QDate> reached(DataFile& file, const Record& record) {
    if (record.kind == Record::Kind::Set || record.kind == Record::Kind::Remove) return {record.day};
    if (record.kind != Record::Kind::Purge) return {};
    std::set<QDate> days;
    file.forEachRow([&](const StoredRow& row) {
        const QDate day = QDate::fromString(row.date, Qt::ISODate);
        if (day.isValid() && day <= record.day) days.insert(day);
        return true;
    });
    for (const QDate& day : file.syncDays())
        if (day <= record.day) days.insert(day);
    return {days.begin(), days.end()};
}

// Whether the journal at path is sealed as this run seals: plain without a sealer, with frames the sealer
// opens with one (its first frame is tried); nothing when it has no whole header (none yet, or damaged).
std::optional<bool> sealedAsNow(const QString& path, const ComputerId& self, const Sealer* sealer) {
    QFile file(path);
    JournalHeader header;
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray start = file.read(kJournalHeaderSize + qint64(64) * 1024);
    if (readHeader(start, &header) != HeaderFault::None) return std::nullopt;
    if (header.sealed != (sealer != nullptr)) return false;
    if (!sealer) return true;
    // Sealed with a key from before her passphrase changed on some computer: sealed anew.
    const FrameScan first = scanFrames(start, kJournalHeaderSize);
    return first.bodies.empty() || sealer->open(first.bodies.front(), self).has_value();
}

}  // namespace

Session::Session(DataFile& file, QString folder, ComputerId self, QString name, std::function<qint64()> now,
                 const Sealer* sealer)
    : file_(file),
      folder_(std::move(folder)),
      name_(std::move(name)),
      sealer_(sealer),
      recorder_(std::make_unique<Recorder>(file, std::move(self), std::move(now))) {
    file_.setRecorder(recorder_.get());
    recorder_->alongside = [this](DataFile&) { noteJournaled(); };
}

Session::~Session() {
    if (attached_ && file_.recorder() == recorder_.get()) file_.setRecorder(nullptr);
}

Result<void> Session::start() {
    return attempt([&] {
        const QByteArray self = recorder_->self();
        const bool joined = file_.syncState(kSelf) == self;
        QString lastName;
        for (const Record& record : recordsOf(file_.syncRecordsOfKind(int(Record::Kind::Name))))
            if (record.id.origin == self) lastName = record.name;
        const QByteArray place = QFile::encodeName(folder_.root());
        const bool moved = file_.syncState(kFolder) != place;
        // The days changed while no recorder was there (another program, a run with the sync off) are
        // reconciled; the first time, every day (the diary joining).
        const bool first = file_.syncState(kReconciled).isEmpty();
        const std::vector<QDate> dirty = first ? std::vector<QDate>{} : file_.dirtyDays();
        if (joined && !moved && !first && dirty.empty() && lastName == name_) return;  // nothing to write
        file_.transact([&] {
            if (first) {
                recorder_->reconcile(file_);
                file_.setSyncState(kReconciled, text(1));
            } else {
                recorder_->reconcile(file_, dirty);
            }
            // A diary copied from another computer, or a folder she chose anew: this computer's records all
            // go into the journal there, and every other journal there is read from its start.
            if (!joined || moved) file_.setSyncState(kJournaled, text(0));
            if (!joined) file_.setSyncState(kSelf, self);
            if (moved) {
                file_.clearSyncPositions();
                file_.setSyncState(kFolder, place);
            }
            if (lastName != name_) recorder_->recordName(file_, name_);
        });
        journaled_ = -1;  // read again: it may have been set back
    });
}

Result<void> Session::flushAndNote() {
    if (Result<void> flushed = flush(); !flushed) return flushed;
    return attempt([&] {
        if (journaled_ >= 0 && number(file_.syncState(kJournaled)) != journaled_)
            file_.transact([&] { noteJournaled(); });
    });
}

qint64 Session::journaled() {
    if (journaled_ < 0) journaled_ = number(file_.syncState(kJournaled));
    return journaled_;
}

void Session::noteJournaled() {
    if (journaled_ >= 0 && number(file_.syncState(kJournaled)) != journaled_)
        file_.setSyncState(kJournaled, text(journaled_));
}

Result<void> Session::flush() {
    if (!sealer_ && isSealed(folder_.root())) return Failure{kSealedWithoutKey, 0};
    const ComputerId& self = recorder_->self();
    std::vector<DataFile::SyncRow> pending;
    qint64 journaled = 0;
    qint64 generation = 0;
    try {
        journaled = this->journaled();
        pending = file_.syncRecordsAfter(self, journaled);
        generation = number(file_.syncState(kGeneration));
    } catch (const PgError& error) {
        return Failure::of(error);
    }
    // A journal sealed otherwise than this run seals (plain, and the folder sealed since; another key) is
    // written whole again, so that no plaintext of this computer's stays in a sealed folder and no frame is
    // of another kind. Looked at once a run.
    if (!keyChecked_) {
        const std::optional<bool> asNow = sealedAsNow(folder_.journalOf(self), self, sealer_);
        reseal_ = asNow && !*asNow;
        keyChecked_ = true;
    }
    const bool reseal = reseal_;
    if (pending.empty() && !reseal) return {};
    const qint64 last = pending.empty() ? journaled : pending.back().seq;
    JournalHeader header;
    header.origin = self;
    header.generation = quint32(generation);
    header.sealed = sealer_ != nullptr;
    const auto framed = [&](const DataFile::SyncRow& row) {
        return sealer_ ? sealer_->seal(row.body, self) : row.body;
    };
    // A journal of this computer's that the diary has not written into yet (a folder chosen anew that holds
    // it already) is written whole again rather than added to.
    if (!reseal && (journaled > 0 || !QFileInfo::exists(folder_.journalOf(self)))) {
        std::vector<QByteArray> bodies;
        bodies.reserve(pending.size());
        for (const DataFile::SyncRow& row : pending) bodies.push_back(framed(row));
        if (Result<void> appended = folder_.append(header, bodies); !appended) return appended;
        // Noted in the diary with its next change or merge, not in a write of its own: a note lost to a kill
        // only appends the same records again, which every reader passes over.
        journaled_ = last;
        if (folder_.sizeOf(self) < kCompactAt) return {};
    }
    // Rewritten shorter: the latest record of each day (which names what it replaced), every purge, the
    // latest word of how far it read and of its name.
    return attempt([&] {
        std::map<QDate, DataFile::SyncRow> latest;
        std::vector<DataFile::SyncRow> kept;
        std::map<int, DataFile::SyncRow> lastOfKind;
        for (const DataFile::SyncRow& row : file_.syncRecordsAfter(self, 0)) {
            if (row.kind == int(Record::Kind::Set) || row.kind == int(Record::Kind::Remove))
                latest[row.day] = row;
            else if (row.kind == int(Record::Kind::Purge))
                kept.push_back(row);
            else
                lastOfKind[row.kind] = row;
        }
        // The latest of a day names every version the dropped ones replaced, so that a computer reading only
        // the rewritten journal knows them as history too.
        std::map<QDate, std::set<VersionId>> replacedOn;
        for (const Record& record : recordsOf(file_.syncRecordsAfter(self, 0)))
            replacedOn[record.day].insert(record.replaces.begin(), record.replaces.end());
        for (auto& [day, row] : latest) {
            std::optional<Record> record = recordOf(row);
            if (record) {
                record->replaces.assign(replacedOn[day].begin(), replacedOn[day].end());
                std::erase(record->replaces, record->id);
                row.body = encode(*record);
            }
            kept.push_back(row);
        }
        for (const auto& [kind, row] : lastOfKind) kept.push_back(row);
        std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.seq < b.seq; });
        header.generation = quint32(generation + 1);
        std::vector<QByteArray> all;
        all.reserve(kept.size());
        for (const DataFile::SyncRow& row : kept) all.push_back(framed(row));
        Result<void> rewritten = folder_.rewrite(header, all);
        if (!rewritten) throw rewritten.failure().error();
        file_.transact([&] {
            file_.setSyncState(kGeneration, text(generation + 1));
            file_.setSyncState(kJournaled, text(last));
        });
        journaled_ = last;
        reseal_ = false;
    });
}

Result<MergeReport> Session::merge() {
    MergeReport report;
    if (!folder_.exists()) {
        report.problems.append(QStringLiteral("同期ﾌｫﾙﾀﾞが見つかりません。"));
        return report;
    }
    if (!sealer_ && isSealed(folder_.root())) {
        report.problems.append(kSealedWithoutKey);
        return report;
    }
    const Folder::Listing listing = folder_.list(recorder_->self());
    for (const QString& copy : listing.conflictCopies)
        report.problems.append(QStringLiteral("同期ﾌﾟﾛｸﾞﾗﾑの競合ｺﾋﾟｰがあります（読みません）：") + copy);
    for (const QString& stray : listing.strays)
        report.problems.append(QStringLiteral("同期の記録ではないﾌｧｲﾙがあります（読みません）：") + stray);
    Result<MergeReport> result = attempt([&] {
        const std::map<QByteArray, DataFile::SyncPosition> positions = file_.syncPositions();
        std::vector<std::pair<ComputerId, Folder::Reading>> readings;
        for (const auto& [id, path] : listing.journals) {
            const auto at = positions.find(id);
            Folder::Reading reading =
                folder_.read(path, at == positions.end() ? DataFile::SyncPosition{} : at->second, sealer_);
            report.damaged += reading.damaged;
            if (reading.fault == HeaderFault::NewerVersion)
                report.problems.append(QStringLiteral("新しい版のSelvaneの記録があります（読みません）：") +
                                       path);
            else if (reading.fault != HeaderFault::None || reading.header.origin != id)
                report.problems.append(QStringLiteral("同期の記録が壊れています（読みません）：") + path);
            else if (reading.unopened)
                report.problems.append(QStringLiteral("別のﾊﾟｽﾜｰﾄﾞで暗号化された記録があります：") + path);
            else
                readings.emplace_back(id, std::move(reading));
        }
        if (report.damaged > 0)
            report.problems.append(QStringLiteral("壊れた記録を%1件読み飛ばしました。").arg(report.damaged));
        // Nothing appended anywhere since the last merge: nothing to write either.
        const bool anything = std::any_of(readings.begin(), readings.end(), [&](const auto& one) {
            const auto at = positions.find(one.first);
            return !one.second.bodies.empty() || at == positions.end() ||
                   at->second.offset != one.second.end.offset ||
                   at->second.generation != one.second.end.generation;
        });
        if (!anything) {
            for (const auto& [id, reading] : readings) report.computers.append(nameOf(id));
            return report;
        }
        std::set<QByteArray> told;
        for (const QByteArray& id : file_.syncState(kTold).split(','))
            if (!id.isEmpty()) told.insert(id);
        file_.transact([&] {
            std::set<QDate> days;
            bool news = false;   // a change of her days
            bool heard = false;  // anything new, also how far another computer read
            // The days changed before were reconciled by the start: what the merge writes is all there is.
            const bool clean = file_.dirtyDays().empty();
            std::vector<Record> arrived;
            std::vector<DataFile::SyncRow> rows;  // kept with the bytes as read
            for (const auto& [id, reading] : readings) {
                for (const QByteArray& body : reading.bodies) {
                    std::optional<Record> record = decode(body, id);
                    if (!record) {
                        ++report.damaged;
                        continue;
                    }
                    recorder_->clock().observe(record->time);
                    rows.push_back(rowOf(*record, body));
                    arrived.push_back(std::move(*record));
                }
                file_.setSyncPosition(id, reading.end);
            }
            recorder_->noteClock(file_);
            // Kept in one go; what was known already counts for nothing.
            const std::vector<bool> added = file_.addSyncRecords(rows);
            for (size_t i = 0; i < arrived.size(); ++i) {
                if (!added[i]) continue;
                heard = true;
                const Record& record = arrived[i];
                if (record.kind == Record::Kind::Read || record.kind == Record::Kind::Name) continue;
                news = true;
                for (const QDate& day : reached(file_, record)) days.insert(day);
            }
            // Each day the new records reach, decided over every version of it known here.
            const std::vector<Record> purges = recordsOf(file_.syncRecordsOfKind(int(Record::Kind::Purge)));
            const std::map<QDate, std::vector<DataFile::SyncRow>> versions = file_.syncRecordsOn(days);
            // The records just kept need no second decoding (one known before stands as the diary keeps it).
            std::map<VersionId, const Record*> fresh;
            for (size_t i = 0; i < arrived.size(); ++i)
                if (added[i]) fresh.emplace(arrived[i].id, &arrived[i]);
            const auto versionsOf = [&](const std::vector<DataFile::SyncRow>& stored) {
                std::vector<Record> all;
                all.reserve(stored.size());
                for (const DataFile::SyncRow& row : stored) {
                    const auto known = fresh.find({row.origin, quint64(row.seq)});
                    if (known != fresh.end())
                        all.push_back(*known->second);
                    else if (std::optional<Record> record = recordOf(row))
                        all.push_back(std::move(*record));
                }
                return all;
            };
            std::vector<std::pair<QDate, std::optional<DayRecord>>> outcomes;
            outcomes.reserve(days.size());
            for (const QDate& day : days) {
                const auto at = versions.find(day);
                const DayOutcome outcome =
                    resolve(at == versions.end() ? std::vector<Record>{} : versionsOf(at->second), purges);
                const bool held = outcome.winner && outcome.winner->kind == Record::Kind::Set;
                outcomes.emplace_back(
                    day, held ? std::optional<DayRecord>(dayOf(day, outcome.winner->content)) : std::nullopt);
                for (const Record& other : outcome.conflicts) {
                    const QByteArray key =
                        (idText(other.id.origin) + u':' + QString::number(other.id.seq)).toLatin1();
                    if (told.insert(key).second) ++report.newConflicts;
                }
            }
            report.daysTaken = file_.putDays(outcomes);
            if (clean)
                file_.followedAll();
            else
                file_.followed(std::vector<QDate>(days.begin(), days.end()));
            if (report.newConflicts > 0) {
                QByteArrayList all(told.begin(), told.end());
                file_.setSyncState(kTold, all.join(','));
            }
            if (news) {
                std::map<ComputerId, quint64> read;
                for (const auto& [id, reading] : readings) read[id] = quint64(file_.lastSyncSeq(id));
                recorder_->recordRead(file_, read);
            }
            if (heard) prune();
            noteJournaled();
        });
        for (const auto& [id, reading] : readings) report.computers.append(nameOf(id));
        return report;
    });
    if (!result) return result;
    if (Result<void> flushed = flushAndNote(); !flushed) result.value().problems.append(flushed.message());
    return result;
}

void Session::prune() {
    const ComputerId& self = recorder_->self();
    const qint64 journaled = this->journaled();
    // The words of how far each computer read and of its name, each read once, with each computer's latest.
    const std::vector<Record> reads = recordsOf(file_.syncRecordsOfKind(int(Record::Kind::Read)));
    const std::vector<Record> names = recordsOf(file_.syncRecordsOfKind(int(Record::Kind::Name)));
    const auto latestOf = [](const std::vector<Record>& records) {
        std::map<ComputerId, quint64> latest;
        for (const Record& record : records)
            latest[record.id.origin] = qMax(latest[record.id.origin], record.id.seq);
        return latest;
    };
    std::map<ComputerId, quint64> latestRead = latestOf(reads);
    std::map<ComputerId, quint64> latestName = latestOf(names);
    // How far each computer has read each other one, by its latest word; every computer has read its own.
    std::map<ComputerId, std::map<ComputerId, quint64>> readBy;
    for (const Record& record : reads)
        if (record.id.seq == latestRead[record.id.origin]) readBy[record.id.origin] = record.read;
    std::set<ComputerId> computers{self};
    for (const auto& [origin, seq] : latestRead) computers.insert(origin);
    for (const auto& [origin, seq] : latestName) computers.insert(origin);
    const auto readEverywhere = [&](const VersionId& id) {
        if (id.origin == self && qint64(id.seq) > journaled) return false;  // not even in its journal yet
        for (const ComputerId& computer : computers) {
            if (computer == id.origin || computer == self) continue;
            const auto& read = readBy[computer];
            const auto at = read.find(id.origin);
            if (at == read.end() || at->second < id.seq) return false;
        }
        return true;
    };
    // Older words of how far a computer read, and of its name, say nothing any more.
    for (const auto& [records, latest] : {std::pair{&reads, &latestRead}, std::pair{&names, &latestName}})
        for (const Record& record : *records)
            if (record.id.seq < (*latest)[record.id.origin] && readEverywhere(record.id))
                file_.removeSyncRecord(record.id.origin, qint64(record.id.seq));
    // A version that a later one replaced, which every computer has read, keeps only what it replaced:
    // its row stays (so it is never taken again) and it stays history, without her words.
    for (const QDate& day : file_.syncDays(true)) {
        const std::vector<Record> versions = recordsOf(file_.syncRecordsOn(day));
        std::set<VersionId> replaced;
        for (const Record& version : versions)
            replaced.insert(version.replaces.begin(), version.replaces.end());
        for (Record version : versions) {
            if (!replaced.count(version.id) || version.content == DayContent{} || !readEverywhere(version.id))
                continue;
            version.content = {};
            file_.setSyncBody(version.id.origin, qint64(version.id.seq), encode(version));
        }
    }
}

QString Session::nameOf(const ComputerId& id) {
    QString name;
    for (const Record& record : recordsOf(file_.syncRecordsOfKind(int(Record::Kind::Name))))
        if (record.id.origin == id) name = record.name;
    return name.isEmpty() ? idText(id).left(8) : name;
}

std::vector<Conflict> Session::conflicts() {
    std::vector<Conflict> found;
    try {
        for (const QDate& day : file_.syncDays(true)) {
            const DayOutcome outcome = outcomeOf(file_, day);
            for (const Record& other : outcome.conflicts) {
                Conflict conflict;
                conflict.day = day;
                if (outcome.winner && outcome.winner->kind == Record::Kind::Set)
                    conflict.kept = outcome.winner->content;
                if (other.kind == Record::Kind::Set) conflict.other = other.content;
                conflict.otherComputer = nameOf(other.id.origin);
                found.push_back(std::move(conflict));
            }
        }
    } catch (const PgError&) {
    }
    return found;
}

Result<void> Session::choose(const QDate& day, const std::optional<DayContent>& content) {
    Result<void> chosen = attempt([&] { file_.transact([&] { recorder_->choose(file_, day, content); }); });
    if (!chosen) return chosen;
    static_cast<void>(flush());  // what fails now, the next merge appends
    return {};
}

}  // namespace syncing
