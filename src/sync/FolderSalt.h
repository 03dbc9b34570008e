#pragma once

#include <QString>

// Where a sealed folder keeps the salt of its key: its presence is what makes the folder sealed, so that a
// computer without the key knows to keep out of it.
namespace syncing {

// root: the folder she chose.
QString saltPath(const QString& root);
bool isSealed(const QString& root);

}  // namespace syncing
