#include "gui/quiz/questionpage.h"

#include <QCoreApplication>
#include <QLibrary>

QuestionPage *loadQuestionPage(QWidget *parent) {
    using Make = QuestionPage *(*)(QWidget *);
    // Installed beside the program's libraries, or, running from the build, where it was built.
    QLibrary module(QCoreApplication::applicationDirPath() + '/' +
                    QStringLiteral(VERSEKEEP_WEBPAGE_FROM_BINDIR));
    if (!module.load())
        module.setFileName(QStringLiteral(VERSEKEEP_WEBPAGE_MODULE));
    const auto make = reinterpret_cast<Make>(module.resolve("versekeepQuestionPage"));
    if (!make)
        throw Error(Error::FileSystem,
                    QCoreApplication::translate("Quizzing",
                                                "The question page could not be loaded: %1")
                        .arg(module.errorString()));
    return make(parent);
}
