#include "graph/GraphOptions.h"

#include "data/SettingsStore.h"

namespace graph {
namespace {

QString sectionOf(Option option) {
    switch (option) {
        case Option::Shift:
            return QStringLiteral("GRAPH_SHIFT");
        case Option::Menstruation:
            return QStringLiteral("GRAPH_MENS");
        case Option::AutoScale:
            break;
    }
    return QStringLiteral("GRAPH_AUTOSCALE");
}

bool isOn(const SettingsStore& store, Option option) {
    return store.get(sectionOf(option), settingkeys::kKey).trimmed() == QLatin1String("1");
}

}  // namespace

Options read(const SettingsStore* store) {
    if (!store) return {};
    return {isOn(*store, Option::Shift), isOn(*store, Option::Menstruation), isOn(*store, Option::AutoScale)};
}

void save(SettingsStore& store, Option option, bool on) {
    store.save(sectionOf(option), settingkeys::kKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace graph
