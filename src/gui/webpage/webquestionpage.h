#pragma once

#include "gui/quiz/questionpage.h"

#include <QWebEngineView>

class QWebEngineProfile;

// The question page in a real browser engine, made once: later pages replace the body.
// The page stays local: no network, no files, no navigation away from it, nothing kept
// on disk.
class WebQuestionPage : public QWebEngineView, public QuestionPage {
    Q_OBJECT
public:
    explicit WebQuestionPage(QWidget *parent = nullptr);
    ~WebQuestionPage() override;

    QWidget *widget() override { return this; }
    void whenReady(std::function<void()> ready) override;
    void showPage(const QString &html, std::function<void()> shown = {}) override;
    void focusFirstBlank() override;
    void readBlanks(int count, std::function<void(const QList<BlankAnswer> &)> done,
                    std::function<void(const Error &)> failed) override;
    void showCorrections(const QList<BlankCorrection> &blanks) override;
    void showNote(const QString &text) override;
    void setZoom(qreal factor) override;

private:
    friend class PageEvents;
    // Calls a function of the page's script with its arguments written as JSON.
    void call(const QString &function, const QStringList &arguments,
              const std::function<void(const QVariant &)> &result = {});
    // The page's next rows not yet sent, some size of them cut at a row.
    void sendRows(qsizetype size);

    QWebEngineProfile *profile_;
    bool ready_ = false;
    qreal zoom_ = 1;
    std::function<void()> pending_;
    QString page_;          // shown last, whole
    qsizetype sent_ = 0;    // its rows from here on are still to send
    qsizetype rowsEnd_ = 0; // where its rows end

};
