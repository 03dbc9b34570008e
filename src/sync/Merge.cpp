#include "sync/Merge.h"

#include <algorithm>
#include <set>

namespace syncing {

bool later(const Record& a, const Record& b) {
    if (a.time != b.time) return a.time > b.time;
    return b.id < a.id;
}

namespace {

bool sameContent(const Record& a, const Record& b) {
    return a.kind == b.kind && (a.kind == Record::Kind::Remove || a.content == b.content);
}

}  // namespace

DayOutcome resolve(const std::vector<Record>& versions, const std::vector<Record>& purges) {
    DayOutcome outcome;
    if (versions.empty()) return outcome;
    const QDate day = versions.front().day;
    quint64 purged = 0;
    bool anyPurge = false;
    for (const Record& purge : purges) {
        if (purge.day < day) continue;
        purged = anyPurge ? qMax(purged, purge.time) : purge.time;
        anyPurge = true;
    }
    std::set<VersionId> replaced;
    for (const Record& version : versions) replaced.insert(version.replaces.begin(), version.replaces.end());
    std::vector<const Record*> heads;
    for (const Record& version : versions) {
        if (replaced.count(version.id) || (anyPurge && version.time <= purged)) continue;
        heads.push_back(&version);
    }
    if (heads.empty()) return outcome;
    std::sort(heads.begin(), heads.end(), [](const Record* a, const Record* b) { return later(*a, *b); });
    outcome.winner = *heads.front();
    // The latest of each other content, newest first.
    for (const Record* head : heads) {
        if (sameContent(*head, *outcome.winner)) continue;
        const bool seen = std::any_of(outcome.conflicts.begin(), outcome.conflicts.end(),
                                      [head](const Record& kept) { return sameContent(kept, *head); });
        if (!seen) outcome.conflicts.push_back(*head);
    }
    return outcome;
}

}  // namespace syncing
