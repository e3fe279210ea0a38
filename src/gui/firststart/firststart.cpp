#include "gui/firststart/firststart.h"

#include "gui/controls.h"
#include "gui/dialogs.h"
#include "gui/moduleentry.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QThread>
#include <QTreeWidget>
#include <QVBoxLayout>

FirstStart::FirstStart(Dialogs &dialogs, QList<Translation> bibles, Build builder, QString target)
    : dialogs_(dialogs), bibles_(std::move(bibles)), build_(std::move(builder)),
      target_(std::move(target)) {
    setObjectName(QStringLiteral("FirstStart"));
    setWindowTitle(tr("Versekeep: choose a Bible"));
    setFont(defaultControlFont());

    auto *listPage = new QWidget;
    auto *chooseLabel = new QLabel(tr("Welcome to Versekeep. Choose the Bible you want to learn "
                                      "from; its text and book names go into your database."));
    chooseLabel->setWordWrap(true);
    bibleList = new QTreeWidget;
    bibleList->setObjectName(QStringLiteral("bibleList"));
    bibleList->setHeaderLabels({tr("Abbreviation"), tr("Name"), tr("Language")});
    bibleList->setRootIsDecorated(false);
    bibleList->setUniformRowHeights(true);
    bibleList->setAllColumnsShowFocus(true);
    auto *note = new QLabel(tr("Other Bibles come as Debian packages, such as sword-text-web "
                               "(World English Bible) and sword-text-sparv (Reina-Valera 1909). "
                               "Install one, then start Versekeep again to see it here."));
    note->setWordWrap(true);
    auto *listLayout = new QVBoxLayout(listPage);
    listLayout->setContentsMargins({});
    listLayout->addWidget(chooseLabel);
    listLayout->addWidget(bibleList);
    listLayout->addWidget(note);

    auto *progressPage = new QWidget;
    progressLabel = new QLabel;
    progressLabel->setObjectName(QStringLiteral("progressLabel"));
    progressLabel->setWordWrap(true);
    progressBar = new QProgressBar;
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setFormat(tr("%v of %m verses"));
    auto *progressLayout = new QVBoxLayout(progressPage);
    progressLayout->addStretch();
    progressLayout->addWidget(progressLabel);
    progressLayout->addWidget(progressBar);
    progressLayout->addStretch();

    pages = new QStackedWidget;
    pages->addWidget(listPage);
    pages->addWidget(progressPage);
    buildButton = new QPushButton(tr("&Build"));
    buildButton->setObjectName(QStringLiteral("buildButton"));
    buildButton->setDefault(true); // Enter in the list
    cancelButton = new QPushButton(tr("Cancel"));
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buildButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addLayout(buttons);
    resize(560, 300);

    // The King James first chosen: Debian's module, else any by that abbreviation.
    int chosen = -1;
    for (int row = 0; row < bibles_.size(); ++row) {
        const Translation &bible = bibles_[row];
        new QTreeWidgetItem(bibleList,
                            {bible.abbreviation, bible.description, bible.languageName()});
        if (bible.module == QLatin1String(VerseSource::defaultModule) ||
            (chosen < 0 && bible.abbreviation == QLatin1String("KJV")))
            chosen = row;
    }
    for (int column = 0; column < bibleList->columnCount(); ++column)
        bibleList->resizeColumnToContents(column);
    bibleList->setCurrentItem(bibleList->topLevelItem(std::max(chosen, 0)));

    const auto buildChosen = [this] {
        const int row = bibleList->indexOfTopLevelItem(bibleList->currentItem());
        if (row >= 0 && !worker_)
            build(bibles_[row]);
    };
    connect(buildButton, &QPushButton::clicked, this, buildChosen);
    connect(bibleList, &QTreeWidget::itemDoubleClicked, this, buildChosen);
    connect(cancelButton, &QPushButton::clicked, this, [this] {
        if (worker_)
            stop(false);
        else
            QDialog::reject();
    });
    connect(this, &FirstStart::progressed, this, &FirstStart::showProgress, Qt::QueuedConnection);
}

FirstStart::~FirstStart() {
    if (!worker_)
        return;
    stopping_ = true;
    worker_->wait();
    delete worker_;
}

void FirstStart::start() {
    if (bibles_.isEmpty()) {
        dialogs_.information(
            tr("No Bible"),
            tr("No Bible is installed, and Versekeep makes its database from one. Install the "
               "King James Version, the Debian package sword-text-kjv:\n\n"
               "sudo apt-get install sword-text-kjv\n\nthen start Versekeep again."));
        QDialog::reject();
        return;
    }
    show();
    if (bibles_.size() == 1)
        build(bibles_.first());
    else
        bibleList->setFocus();
}

bool FirstStart::run() {
    start();
    if (isVisible())
        exec();
    return result() == Accepted;
}

void FirstStart::reject() {
    if (worker_)
        stop(true);
    else
        QDialog::reject();
}

void FirstStart::build(const Translation &bible) {
    stopping_ = false;
    leaving_ = false;
    made_.reset();
    failure_.reset();
    progressLabel->setText(tr("Making your Versekeep database from the %1...").arg(bible.title()));
    progressBar->setRange(0, 0); // busy until the first count
    pages->setCurrentIndex(1);
    buildButton->hide();
    cancelButton->setEnabled(true);
    cancelButton->setFocus();
    worker_ = QThread::create([this, module = bible.module] {
        const auto progress = [this](int done, int total) {
            Q_EMIT progressed(done, total);
            return !stopping_;
        };
        try {
            made_ = build_(target_, module, {false, progress});
        } catch (const Error &error) {
            failure_ = error;
        }
    });
    connect(worker_, &QThread::finished, this, &FirstStart::built);
    worker_->start();
}

void FirstStart::stop(bool leave) {
    leaving_ = leaving_ || leave;
    stopping_ = true;
    cancelButton->setEnabled(false);
    progressLabel->setText(tr("Stopping..."));
}

void FirstStart::built() {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    if (made_) {
        accept();
        return;
    }
    if (failure_)
        dialogs_.errorReport(failure_->retold(
            tr("Versekeep could not make its database: %1").arg(failure_->description())));
    if (leaving_ || bibles_.size() == 1)
        QDialog::reject();
    else
        showList();
}

void FirstStart::showList() {
    pages->setCurrentIndex(0);
    buildButton->show();
    cancelButton->setEnabled(true);
    bibleList->setFocus();
}

void FirstStart::showProgress(int done, int total) {
    progressBar->setRange(0, total);
    progressBar->setValue(done);
}

bool makeFirstDatabase(Dialogs &dialogs, const QString &target) {
    const auto entry = reinterpret_cast<BibleBuilderEntry>(moduleEntry(
        VERSEKEEP_BUILDER_FROM_BINDIR, VERSEKEEP_BUILDER_MODULE, "versekeepBibleBuilder",
        FirstStart::tr("Versekeep's Bible builder could not be loaded: %1")));
    const BibleBuilder &builder = *entry();
    FirstStart window(dialogs, builder.installedBibles(), builder.build, target);
    return window.run();
}
