#pragma once

#include <QString>
#include <QtGlobal>

// The entry point of one of the program's modules, loaded when first needed: installed in
// the modules' folder beside the program's libraries, or, running from the build, where it
// was built. Throws FileSystem, told as failure with Qt's reason, when it cannot be had.
QFunctionPointer moduleEntry(const char *fromBinDir, const char *built, const char *symbol,
                             const QString &failure);
