#pragma once

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
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

// A figure's line: the median of its samples, then the least and the most of them.
inline void printFigure(const char *what, const std::vector<double> &samples,
                        const char *unit = " ms") {
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
    std::printf("  %-36s %8.2f%s  (%.2f-%.2f)\n", what, median(samples), unit, *low, *high);
}

// Two kinds' samples of the same runs, one over the other run by run.
inline std::vector<double> runByRun(const std::vector<double> &over,
                                    const std::vector<double> &under) {
    std::vector<double> ratios;
    for (size_t run = 0; run < over.size() && run < under.size(); ++run)
        ratios.push_back(over[run] / under[run]);
    return ratios;
}
