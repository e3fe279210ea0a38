#include "bible/builder.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT const BibleBuilder *versekeepBibleBuilder() {
    static const BibleBuilder builder{
        &VerseSource::installedBibles,
        [](const QString &target, const QString &moduleName, const BuildOptions &options) {
            return buildDatabase(target, moduleName, options);
        }};
    return &builder;
}
