#include "gui/firststart/firststart.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

namespace {
// The last ones of these are installed: all three, the Reina-Valera alone, or none.
const QList<Translation> bibles{{"engWEB2015eb", "WEB", "World English Bible", "en"},
                                {"engKJV2006eb", "KJV", "King James Version", "en"},
                                {"spaRV1909eb", "RV1909", "Reina Valera 1909", "es"}};
} // namespace

// The first start's window, with a builder that stands in for SWORD, and with the real one.
class TestFirstStart : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void choosing_data();
    void choosing();
    void cancelLeavesNoFile();
};

void TestFirstStart::choosing_data() {
    QTest::addColumn<int>("installed");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("outcome"); // the module built, or "left"
    QTest::addColumn<QString>("said");
    QTest::newRow("Enter builds the King James") << 3 << "Return" << "engKJV2006eb" << "";
    QTest::newRow("double-click") << 3 << "click" << "spaRV1909eb" << "";
    QTest::newRow("one builds without asking") << 1 << "" << "spaRV1909eb" << "";
    QTest::newRow("Escape leaves") << 3 << "Escape" << "left" << "";
    QTest::newRow("a failure told, the list again")
        << 3 << "Up Return Escape" << "left"
        << "13 Versekeep could not make its database: database or disk is full";
    QTest::newRow("none installed") << 0 << "" << "left"
                                    << "No Bible: No Bible is installed, and Versekeep makes its "
                                       "database from one. Install the King James Version, the "
                                       "Debian package sword-text-kjv:\n\nsudo apt-get install "
                                       "sword-text-kjv\n\nthen start Versekeep again.";
}

void TestFirstStart::choosing() {
    QFETCH(int, installed);
    QFETCH(QString, keys);
    RecordingDialogs dialogs;
    QStringList built;
    const auto build = [&built](const QString &target, const QString &module,
                                const BuildOptions &options) -> std::optional<BuildCount> {
        built << module + ' ' + target;
        if (module == "engWEB2015eb")
            throw Error::database(13, "database or disk is full");
        options.progress(0, 3);
        options.progress(3, 3);
        return BuildCount{3, 1};
    };
    FirstStart window(dialogs, bibles.mid(3 - installed), build, "/target.db");
    QSignalSpy finished(&window, &QDialog::finished);
    window.start();
    QVERIFY(!window.isVisible() || QTest::qWaitForWindowExposed(&window));
    auto *list = child<QTreeWidget>(&window, "bibleList");
    auto *buildButton = child<QPushButton>(&window, "buildButton");
    for (const QString &key : keys.split(' ', Qt::SkipEmptyParts)) {
        if (key == "click")
            QTest::mouseDClick(window.windowHandle(), Qt::LeftButton, {},
                               list->viewport()->mapTo(
                                   &window, list->visualItemRect(list->topLevelItem(2)).center()));
        else
            QTest::keyClick(list, QKeySequence::fromString(key)[0].key());
        // A build ends in the list again or with the window closed.
        QTRY_VERIFY(buildButton->isVisible() || !finished.isEmpty());
    }
    QTRY_COMPARE(finished.size(), 1);
    QFETCH(QString, outcome);
    QCOMPARE(window.result() == QDialog::Accepted ? built.value(0).section(' ', 0, 0) : "left",
             outcome);
    QCOMPARE(built.value(0).section(' ', 1), built.isEmpty() ? "" : "/target.db");
    if (window.result() == QDialog::Accepted)
        QCOMPARE(child<QProgressBar>(&window, "progressBar")->text(), "3 of 3 verses");
    QFETCH(QString, said);
    QCOMPARE((dialogs.errors + dialogs.informations).join('\n'), said);
}

void TestFirstStart::cancelLeavesNoFile() {
    QTemporaryDir folder;
    RecordingDialogs dialogs;
    FirstStart window(dialogs, VerseSource::installedBibles(),
                      qOverload<const QString &, const QString &, const BuildOptions &>(
                          &buildDatabase),
                      folder.filePath("versekeep.db"));
    QSignalSpy finished(&window, &QDialog::finished);
    window.start();
    auto *list = child<QTreeWidget>(&window, "bibleList");
    const QTreeWidgetItem *chosen = list->currentItem();
    QCOMPARE(list->topLevelItemCount(), 3); // as Debian has them
    QCOMPARE((QStringList{chosen->text(0), chosen->text(1), chosen->text(2)}),
             (QStringList{"KJV", "King James Version", "English"}));
    QTest::keyClick(list, Qt::Key_Return);
    auto *progress = child<QProgressBar>(&window, "progressBar");
    QTRY_VERIFY(progress->value() > 0);
    child<QPushButton>(&window, "cancelButton")->click();
    // Stopped: the list again, and nothing in the folder, not even a part.
    QTRY_VERIFY(child<QPushButton>(&window, "buildButton")->isVisible());
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
    QCOMPARE(finished.size() + dialogs.count(), 0);
    QTest::keyClick(list, Qt::Key_Escape);
    QCOMPARE(finished.size(), 1);
    QCOMPARE(window.result(), QDialog::Rejected);
}

VERSEKEEP_TEST_MAIN(TestFirstStart, QApplication)
#include "test_firststart.moc"
