#include "gui/quiz/questionpage.h"

#include "gui/moduleentry.h"

#include <QCoreApplication>

QuestionPage *loadQuestionPage(QWidget *parent) {
    using Make = QuestionPage *(*)(QWidget *);
    const auto make = reinterpret_cast<Make>(moduleEntry(
        VERSEKEEP_WEBPAGE_FROM_BINDIR, VERSEKEEP_WEBPAGE_MODULE, "versekeepQuestionPage",
        QCoreApplication::translate("Quizzing", "The question page could not be loaded: %1")));
    return make(parent);
}
