#pragma once

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

// A private home for one benchmark run: settings that point at a copy of the verse
// database, so a developer's own settings and data are never touched.
class BenchHome {
public:
    explicit BenchHome(const char *verseDatabase) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()));
        QFile::copy(QString::fromLocal8Bit(verseDatabase), path());
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
        QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tarnholm"));
        settings.setValue(QStringLiteral("versekeep/dbPath"), dir_.path() + '/');
        settings.setValue(QStringLiteral("versekeep/dbName"), QStringLiteral("versekeep.db"));
    }

    QString path() const { return dir_.filePath(QStringLiteral("versekeep.db")); }

private:
    QTemporaryDir dir_;
};

inline double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}
