#pragma once

#include <functional>
#include <optional>

#include "session/Module1.h"
#include "vault/LockedStore.h"

class QWidget;

namespace vaultui {

class PassphrasePrompt;

// The passphrase dialog and what follows from it: the open diary locked with a new passphrase, its passphrase
// changed, or the passphrase removed and the diary plain again, each in one atomic step; edits kept from a
// session that ended without the closing questions follow the new key. After locking or a change she is
// offered to delete the plain backups that would still give the diary away. True when something changed.
// prompt asks for the passphrases; changed hears the new passphrase (null: removed) once it is in place.
bool changePassphrase(Module1& module, const Services& services, PassphrasePrompt& prompt, QWidget* parent,
                      const vault::Refusal& refusal,
                      const std::function<void(const vault::Secret*)>& changed = {});

// The folder whose backups are looked at for plain copies.
QString backupsFolder(const Services& services);

}  // namespace vaultui
