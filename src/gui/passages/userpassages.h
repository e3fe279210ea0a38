#pragma once

#include "core/listentry.h"
#include "gui/programwindow.h"

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
struct PassageRange;

// One user's passages, the range pickers and the button that adds a passage.
class UserPassages : public ProgramWindow {
    Q_OBJECT
public:
    UserPassages(const WindowContext &context, Navigation &navigation);

    void SetCurrentUser(const QString &username, qint64 userID);

Q_SIGNALS:
    // Stored: the user's figures have changed.
    void passageAdded();
    void passageDeleted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void PassageListRequery();
    void DeletePassage();
    void Memorize_Click();
    // The pickers.
    int GetLastChapter(qint64 book);
    int GetLastVerse(qint64 book, int chapter);
    bool ValidPassage() const;
    void ShowPassageLabel();
    void fillBookLists();
    void bookChosen(QListWidget *book, QComboBox *chapter, QComboBox *verse);
    void chapterChosen(QListWidget *book, QComboBox *chapter, QComboBox *verse);
    PassageRange chosenRange() const;
    // Runs database work; after a failure, reported, the user list comes back.
    template <typename Work> bool onDatabase(Work &&work);

    QString CurrentUser;
    qint64 CurrentUserID = 0;
    QList<ListEntry> books_; // named as shown; read once: the verse table never changes

    QLabel *Uname;
    QListWidget *PassageList;
    QListWidget *startbook;
    QListWidget *endbook;
    QComboBox *startChapter;
    QComboBox *startVerse;
    QComboBox *endChapter;
    QComboBox *endVerse;
    QLabel *PassageLabel;
    QPushButton *Memorize;
    QPushButton *StartLearning;
};
