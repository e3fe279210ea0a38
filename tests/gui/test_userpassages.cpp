#include "store/passages.h"
#include "gui/passages/userpassages.h"
#include "support/windowfixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

// The passage window through the real widgets, on a copy of the full verse table.
class TestUserPassages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void pickersAndTheirLabel();
    void rangeIsShownAndStoredOnlyWhenValid_data();
    void rangeIsShownAndStoredOnlyWhenValid();
    void deleteAsks_data();
    void deleteAsks();
    void failedLookUpFallsBackToTheUserList();
    void nameAsTypedAndSizeFixed();

private:
    void chooseRange(const QStringList &range); // "" leaves a picker alone
    qint64 count(const char *sql) { return fixture_->test.count(sql); }

    std::unique_ptr<WindowFixture> fixture_;
    std::unique_ptr<UserPassages> window_;
};

void TestUserPassages::init() {
    fixture_ = std::make_unique<WindowFixture>(TestDatabase::withBible());
    Statement(fixture_->test.db(), "INSERT INTO Users (id, Name) VALUES (1, 'Ann')").run();
    window_ = std::make_unique<UserPassages>(fixture_->context(), fixture_->navigation);
    window_->show();
    window_->SetCurrentUser("Ann", 1);
}

void TestUserPassages::cleanup() {
    QCOMPARE(fixture_->dialogs.errors, QStringList());
    window_.reset();
    fixture_.reset();
}

void TestUserPassages::chooseRange(const QStringList &range) {
    QComboBox *numbers[] = {window_->startChapter, window_->startVerse, window_->endChapter,
                            window_->endVerse};
    for (int i = 0; i < 6; ++i) {
        if (range[i].isEmpty())
            continue;
        if (i % 3 == 0) {
            chooseEntry(i == 0 ? window_->startbook : window_->endbook, range[i]);
        } else {
            QComboBox *combo = numbers[i / 3 * 2 + i % 3 - 1];
            combo->setCurrentIndex(combo->findText(range[i]));
        }
    }
}

void TestUserPassages::pickersAndTheirLabel() {
    QCOMPARE(window_->startbook->count(), 66);
    QCOMPARE(entries(window_->endbook), entries(window_->startbook));
    chooseRange({"Genesis", "50", "3", "", "", ""});
    QCOMPARE(window_->startVerse->count(), 26);
    // A new book refills its chapters, empties its verses, and nothing else.
    chooseEntry(window_->startbook, "Ruth");
    QCOMPARE(window_->startChapter->count(), 4);
    QCOMPARE(window_->startChapter->currentIndex(), -1);
    QCOMPARE(window_->startVerse->count(), 0);
    QCOMPARE(window_->PassageLabel->text(), "Ruth : -  :");
    QCOMPARE(window_->endChapter->count(), 0);
    chooseRange({"", "", "", "Jude", "1", "25"});
    QCOMPARE(window_->endVerse->count(), 25);
    QCOMPARE(window_->startChapter->count(), 4);

    chooseRange({"John", "3", "16", "John", "3", "18"});
    QCOMPARE(window_->PassageLabel->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    // Ctrl+click takes the choice away: the label follows at once.
    QListWidget *list = window_->startbook;
    const QRect john = list->visualItemRect(list->currentItem());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, john.center());
    QCOMPARE(window_->PassageLabel->text(), " 3:16 - John 3:18");
    QCOMPARE(window_->PassageLabel->palette().color(QPalette::WindowText), QColor(250, 15, 0));
    // Coming back to the window clears both books, and only them.
    window_->hide();
    window_->show();
    QCOMPARE(window_->startbook->selectedItems().size() + window_->endbook->selectedItems().size(),
             0);
    QCOMPARE(window_->PassageLabel->text(), QString());
    QCOMPARE(window_->startVerse->currentText(), "16");
    QCOMPARE(window_->endVerse->count(), 36);
    QVERIFY(!window_->ValidPassage());
}

void TestUserPassages::rangeIsShownAndStoredOnlyWhenValid_data() {
    QTest::addColumn<QStringList>("range");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("verses"); // 0: not a valid range
    QTest::newRow("two books") << QStringList{"Genesis", "50", "25", "Exodus", "1", "2"}
                               << "Genesis 50:25 - Exodus 1:2" << 4;
    QTest::newRow("verse before") << QStringList{"John", "3", "16", "John", "3", "15"}
                                  << "John 3:16 - John 3:15" << 0;
}

void TestUserPassages::rangeIsShownAndStoredOnlyWhenValid() {
    QFETCH(QStringList, range);
    QFETCH(QString, text);
    QFETCH(int, verses);
    const bool valid = verses > 0;
    chooseRange(range);
    QCOMPARE(window_->PassageLabel->text(), text);
    QCOMPARE(window_->PassageLabel->palette().color(QPalette::WindowText),
             valid ? QColor(0, 0, 0) : QColor(250, 15, 0));

    QTest::mouseClick(window_->Memorize, Qt::LeftButton);
    const QStringList message{"Invalid Passage: Each passage must contain a starting verse and "
                              "an ending verse greater than the starting verse."};
    QCOMPARE(fixture_->dialogs.informations, valid ? QStringList() : message);
    QCOMPARE(entries(window_->PassageList), valid ? QStringList{text} : QStringList());
    QCOMPARE(count("SELECT count(*) FROM PassageVerses"), verses);
    QCOMPARE(count("SELECT count(*) FROM Passages WHERE UserID = 1 AND username = 'Ann' AND "
                   "scheduledate = '2026-12-06 10:00:00'"),
             valid ? 1 : 0);
    // Everything stays chosen, so the same range can be added again.
    QCOMPARE(window_->PassageLabel->text(), text);
    QVERIFY(window_->isVisible());
    if (valid) { // and from the keyboard
        QTest::keyClick(window_->Memorize, Qt::Key_Return);
        QCOMPARE(window_->PassageList->count(), 2);
    }
}

void TestUserPassages::deleteAsks_data() {
    addDeleteKeyRows();
}

void TestUserPassages::deleteAsks() {
    QFETCH(int, modifiers);
    QFETCH(bool, answer);
    const bool asked = modifiers == Qt::NoModifier;
    const bool deleted = asked && answer;
    for (const PassageRange &range : {PassageRange{{19, "Psalms", 23, 1}, {19, "Psalms", 23, 6}},
                                      PassageRange{{43, "John", 11, 35}, {43, "John", 11, 35}}})
        addPassage(fixture_->test.db(), fixture_->clock, range, "Ann", 1);
    window_->PassageListRequery();
    window_->PassageList->setCurrentRow(0);
    fixture_->dialogs.answers = {answer};
    QTest::keyClick(window_->PassageList, Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(fixture_->dialogs.questions,
             asked ? QStringList{"Are you sure you want to delete this passage?"} : QStringList());
    QCOMPARE(entries(window_->PassageList),
             deleted ? QStringList{"John 11:35 - John 11:35"}
                     : (QStringList{"Psalms 23:1 - Psalms 23:6", "John 11:35 - John 11:35"}));
    QCOMPARE(count("SELECT count(*) FROM PassageVerses"), deleted ? 1 : 7);
}

void TestUserPassages::failedLookUpFallsBackToTheUserList() {
    for (const bool chapter : {true, false}) {
        window_->show();
        QCOMPARE(chapter ? window_->GetLastChapter(67) : window_->GetLastVerse(1, 51), 0);
        QCOMPARE(fixture_->dialogs.errorNumbers, QList<int>{int(Error::InvalidUseOfNull)});
        QVERIFY(!window_->isVisible());
        QCOMPARE(fixture_->navigation.calls, QStringList{"users"});
        fixture_->navigation.calls.clear();
        fixture_->dialogs.clear();
    }
}

void TestUserPassages::nameAsTypedAndSizeFixed() {
    // A name is text, never markup that could fetch a file.
    window_->SetCurrentUser("<b>x</b><img src=\"/etc/passwd\">", 1);
    QCOMPARE(window_->Uname->textFormat(), Qt::PlainText);
    QCOMPARE(window_->Uname->text(), "<b>x</b><img src=\"/etc/passwd\">");
    const QSize size = window_->size();
    QCOMPARE(window_->centralWidget()->size(), QSize(744, 568));
    window_->resize(size / 2);
    QTest::qWait(20);
    QCOMPARE(window_->size(), size);
}

VERSEKEEP_TEST_MAIN(TestUserPassages, QApplication)
#include "test_userpassages.moc"
