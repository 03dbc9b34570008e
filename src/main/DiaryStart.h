#pragma once

#include "home/DiaryHome.h"

struct Services;

namespace mainwindow {

// The window's first step, before the diary opens, for an installed program without a diary: the offer to
// copy in the diary of a portable Selvane (once), then the empty diary where none came. A portable program
// does nothing here: a missing file is the start-up's own message. False when the run ends (a copy that
// failed, a diary that could not be made; she was told why).
bool prepareDiary(const Services& services, const diaryhome::Start& start);

}  // namespace mainwindow
