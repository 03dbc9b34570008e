#pragma once

#include <QString>

// The English texts of SQLite, Qt and the system, as a message shows them to her.
namespace systemtext {

// A Japanese sentence saying what went wrong, the original text kept after it in brackets (for whoever helps
// her with it). A text that already holds Japanese, or no text, comes back as it is.
QString inJapanese(const QString& original);

}  // namespace systemtext
