#pragma once
// Attribute letters of a file as the viewer shows them: "R" when the current user cannot
// replace the file (it is not writable, carries no write permission, or its folder does not
// take the temporary file a safe write renames over it), "H" for a name starting with ".",
// "A" for a regular file; "" when the file is missing.

#include <QString>

namespace ktdv {

QString fileAttributeLetters(const QString& path);

}  // namespace ktdv
