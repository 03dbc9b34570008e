#pragma once

class SettingsStore;

// The graph's three view options, off unless she turned them on; each is remembered in a section of its
// own in the settings store. Anything but the stored "1" reads as off.
namespace graph {

struct Options {
    bool shift = false;  // the coverline of each cycle with a temperature shift, the first higher reading
    bool menstruation = false;  // menstruation days shaded
    bool autoScale = false;     // the value axis fitted to her readings in view
};

enum class Option { Shift, Menstruation, AutoScale };

// The remembered options; all off without a store.
Options read(const SettingsStore* store);
// Remembers one option. Throws PgError when the store cannot be written.
void save(SettingsStore& store, Option option, bool on);

}  // namespace graph
