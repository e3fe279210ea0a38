#include "gui/moduleentry.h"

#include "core/error.h"

#include <QCoreApplication>
#include <QLibrary>

QFunctionPointer moduleEntry(const char *fromBinDir, const char *built, const char *symbol,
                             const QString &failure) {
    QLibrary module(QCoreApplication::applicationDirPath() + '/' + QLatin1String(fromBinDir));
    if (!module.load())
        module.setFileName(QLatin1String(built));
    if (const QFunctionPointer entry = module.resolve(symbol))
        return entry;
    throw Error(Error::FileSystem, failure.arg(module.errorString()));
}
