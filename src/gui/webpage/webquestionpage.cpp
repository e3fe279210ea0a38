#include "gui/webpage/webquestionpage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

namespace {
// Ids are looked up without regard to letter case: the checker asks for "Answer1" where
// the builder writes "answer1".
const char shell[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><script>
var versekeep = {
  element: function (id) {
    var found = document.getElementById(id);
    if (found) return found;
    var all = document.querySelectorAll('[id]');
    for (var i = 0; i < all.length; ++i)
      if (all[i].id.toLowerCase() === id.toLowerCase()) return all[i];
    return null;
  },
  show: function (html) { document.body.innerHTML = html; },
  focusFirstBlank: function () {
    var blank = versekeep.element('blank1');
    if (blank) blank.focus();
  },
  read: function (count) {
    var blanks = [];
    for (var n = 1; n <= count; ++n) {
      var id = versekeep.element('verseid' + n), answer = versekeep.element('Answer' + n),
          blank = versekeep.element('blank' + n);
      if (!id || !answer || !blank) return n;
      blanks.push([id.value, answer.value, blank.value]);
    }
    return blanks;
  },
  markWrong: function (n, tooltip) {
    var blank = versekeep.element('blank' + n);
    blank.title = tooltip;
    blank.style.color = 'red';
  }
};
new QWebChannel(qt.webChannelTransport, function (channel) {
  versekeep.window = channel.objects.window;
});
// Told from here, after the keys typed before it: the blanks hold all of them.
document.addEventListener('keydown', function (event) {
  if (event.key === 'Enter' && versekeep.window) {
    event.preventDefault();
    versekeep.window.enter();
  } else if (event.altKey && event.key.length === 1 && versekeep.window) {
    event.preventDefault();
    versekeep.window.menuKey(event.key);
  }
});
</script></head><body></body></html>)";

// Nothing leaves the machine or reads a file: only the page's own data.
class LocalOnly : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override {
        const QString scheme = info.requestUrl().scheme();
        info.block(scheme != QLatin1String("data") && scheme != QLatin1String("about"));
    }
};

// Takes the first load, the page's own, and refuses every navigation after it: a link,
// a dropped file or a typed address never replaces the question.
class StayingPage : public QWebEnginePage {
public:
    StayingPage(QWebEngineProfile *profile, QObject *parent) : QWebEnginePage(profile, parent) {
        connect(this, &QWebEnginePage::loadFinished, this, [this] { loaded_ = true; });
    }

protected:
    bool acceptNavigationRequest(const QUrl &, NavigationType, bool isMainFrame) override {
        return isMainFrame && !loaded_;
    }

private:
    bool loaded_ = false;
};
} // namespace

// What the page tells the window.
class PageEvents : public QObject {
    Q_OBJECT
public:
    explicit PageEvents(WebQuestionPage *page) : QObject(page), page_(page) {}

public Q_SLOTS:
    void enter() {
        if (page_->enterPressed)
            page_->enterPressed();
    }
    void menuKey(const QString &letter) {
        if (page_->menuKeyPressed)
            page_->menuKeyPressed(letter);
    }

private:
    WebQuestionPage *page_;
};

WebQuestionPage::WebQuestionPage(QWidget *parent)
    : QWebEngineView(parent), profile_(new QWebEngineProfile) {
    // Off the record: no cache, cookies or history written to disk.
    profile_->setUrlRequestInterceptor(new LocalOnly(profile_));
    auto *page = new StayingPage(profile_, this);
    QWebEngineSettings *settings = page->settings();
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    // The channel's script goes in before the page's own, which uses it.
    QFile channelScript(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    channelScript.open(QIODevice::ReadOnly);
    QWebEngineScript script;
    script.setSourceCode(QString::fromUtf8(channelScript.readAll()));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    page->scripts().insert(script);
    auto *channel = new QWebChannel(page);
    channel->registerObject(QStringLiteral("window"), new PageEvents(this));
    page->setWebChannel(channel);
    setPage(page);
    setAcceptDrops(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(page, &QWebEnginePage::loadFinished, this, [this] {
        ready_ = true;
        if (pending_)
            std::exchange(pending_, {})();
    });
    page->setHtml(QString::fromUtf8(shell));
}

WebQuestionPage::~WebQuestionPage() {
    // The page must go before its profile.
    delete page();
    delete profile_;
}

void WebQuestionPage::whenReady(std::function<void()> ready) {
    if (ready_)
        ready();
    else
        pending_ = std::move(ready);
}

void WebQuestionPage::call(const QString &function, const QVariantList &arguments,
                           const std::function<void(const QVariant &)> &result) {
    const QByteArray json =
        QJsonDocument(QJsonArray::fromVariantList(arguments)).toJson(QJsonDocument::Compact);
    const QString script =
        QStringLiteral("versekeep.%1.apply(null, %2)").arg(function, QString::fromUtf8(json));
    if (result)
        page()->runJavaScript(script, result);
    else
        page()->runJavaScript(script);
}

void WebQuestionPage::showPage(const QString &html) { call(QStringLiteral("show"), {html}); }

void WebQuestionPage::focusFirstBlank() {
    setFocus();
    call(QStringLiteral("focusFirstBlank"), {});
}

void WebQuestionPage::readBlanks(int count,
                                 std::function<void(const QList<BlankAnswer> &)> done,
                                 std::function<void(const Error &)> failed) {
    call(QStringLiteral("read"), {count}, [done, failed](const QVariant &result) {
        if (result.typeId() != QMetaType::QVariantList)
            return failed(Error(Error::ObjectRequired,
                                tr("Blank %1 is missing from the page.").arg(result.toInt())));
        QList<BlankAnswer> blanks;
        for (const QVariant &row : result.toList()) {
            const QVariantList values = row.toList();
            bool number = false;
            const qint64 verseId = values.value(0).toString().toLongLong(&number);
            if (!number)
                return failed(Error(Error::TypeMismatch, tr("Type mismatch")));
            blanks.append({verseId, values.value(1).toString(), values.value(2).toString()});
        }
        done(blanks);
    });
}

void WebQuestionPage::markWrong(int number, const QString &tooltip) {
    call(QStringLiteral("markWrong"), {number, tooltip});
}

extern "C" Q_DECL_EXPORT QuestionPage *versekeepQuestionPage(QWidget *parent) {
    return new WebQuestionPage(parent);
}

#include "webquestionpage.moc"
