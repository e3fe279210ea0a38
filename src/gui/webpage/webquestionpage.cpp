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
// The characters of a page's rows sent after the first screenful, piece by piece: each takes
// the page some milliseconds, a frame's time at most.
constexpr qsizetype pieceSize = 64 * 1024;

// What the page adds to a page as built (the names a screen reader reads, the wrapping of
// long blanks, the marks and corrections of a judged page, the line under the empty page) it
// adds here, after the page is shown, as text, never as markup. A page may hold a whole book:
// every step is one pass over the blanks, and none lays out the page blank by blank. Its
// table is laid out as blocks, one cell a row as it looks anyway, so that a row off screen
// costs nothing until it comes near.
const char shell[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><style>
table, tbody, tr, td { display: block; } table { width: 100%; } td { width: auto; }
tr { content-visibility: auto; contain-intrinsic-size: 0 32px; }
.vk-judged { display: inline-block; vertical-align: top; max-width: 100%; }
.vk-wide { display: block; }
.vk-wrong { border: 2px solid #c00000 !important; }
.vk-right { border: 2px solid #007a00 !important; }
.vk-mark { font: bold 14pt arial; padding: 0 3px; }
.vk-wrong + .vk-mark { color: #c00000; } .vk-right + .vk-mark { color: #007a00; }
.vk-fix { display: block; font: 12pt arial; margin: 2px 0 6px; }
.vk-fix del { color: #c00000; } .vk-fix ins { color: #005a00; font-weight: bold; }
.vk-hidden { position: absolute; width: 1px; height: 1px; overflow: hidden; clip: rect(0 0 0 0); }
.vk-probes { position: absolute; visibility: hidden; top: 0; left: 0; }
#vk-note { font: 12pt arial; }
</style><script>
var versekeep = {
  // Every element with an id by its id in small letters, the first of each, made in one
  // pass: ids are read without regard to letter case, as "Answer1" for "answer1".
  index: function () {
    var found = new Map(), all = document.querySelectorAll('[id]');
    for (var i = 0; i < all.length; ++i) {
      var key = all[i].id.toLowerCase();
      if (!found.has(key)) found.set(key, all[i]);
    }
    return {find: function (id) { return found.get(id.toLowerCase()) || null; }};
  },
  // The blanks as the builder numbers them, 1, 2, ...
  blanks: function () {
    var blanks = [];
    for (var blank; (blank = document.getElementById('blank' + (blanks.length + 1)));) blanks.push(blank);
    return blanks;
  },
  say: function (text, values) {
    return text.replace(/%(\d)/g, function (all, n) { return values[n - 1]; });
  },
  // The page as built replaces the body. A long page comes in parts cut at its rows: the
  // window sends those that fill the screen at once, the rest a piece at a time, each asked
  // for once the screen has drawn the last, so that a whole book is on screen as soon as a
  // short passage. Whatever reads the blanks or marks them has the window send the rest first.
  show: function (html, words, total, coming) {
    versekeep.words = words;
    versekeep.judged = false;
    versekeep.total = total;
    versekeep.count = 0;
    versekeep.focusComing = false;
    versekeep.filled = false;
    document.body.innerHTML = html;
    versekeep.prepare();
    versekeep.coming = coming;
    if (coming) versekeep.askSoon(100);
    return total;
  },
  // The window's next rows: at once while the page does not reach well below the window,
  // else after the next frame, and after a new page's first a tenth of a second later, so
  // that the learner's first keys and the frames after it come before the rest.
  askSoon: function (wait) {
    var table = document.body.querySelector('tbody');
    if (!versekeep.filled && table)
      versekeep.filled = table.getBoundingClientRect().bottom >= 1.5 * innerHeight;
    if (!versekeep.filled) return versekeep.ask();
    requestAnimationFrame(function () { setTimeout(versekeep.ask, wait || 0); });
  },
  ask: function () {
    if (versekeep.coming && versekeep.window) versekeep.window.more();
  },
  // Rows after the last: coming says whether more follow.
  add: function (rows, coming) {
    var table = document.body.querySelector('tbody'), first = versekeep.count + 1;
    if (!table) return;
    table.insertAdjacentHTML('beforeend', rows);
    versekeep.prepare();
    versekeep.coming = coming;
    // Enter was pressed past the last blank in: the first that came, or with none to come
    // round to the first left empty, or with none of those the page is answered.
    if (versekeep.focusComing && (versekeep.count >= first || !coming)) {
      versekeep.focusComing = false;
      if (versekeep.count >= first) document.getElementById('blank' + first).focus();
      else if (!versekeep.focusNextEmpty(document.activeElement) && versekeep.window)
        versekeep.window.enter();
    }
    if (coming) versekeep.askSoon();
  },
  // The blanks come in since the last: each named for a screen reader, the long ones fitted.
  prepare: function () {
    var blanks = [], words = versekeep.words;
    for (var n = versekeep.count + 1, blank; (blank = document.getElementById('blank' + n)); ++n)
      blanks.push(blank);
    blanks.forEach(function (blank, n) {
      var row = blank.closest('tr'), heading = row && row.previousElementSibling;
      blank.setAttribute('aria-label', versekeep.say(words.blank,
          [versekeep.count + n + 1, versekeep.total, heading ? heading.textContent.trim() : '']));
    });
    versekeep.count += blanks.length;
    versekeep.fit(blanks);
  },
  // A blank is wrapped, for its mark and correction, only when it needs it.
  slot: function (blank) {
    if (blank.parentNode.classList.contains('vk-slot')) return blank.parentNode;
    var slot = document.createElement('span'), focused = document.activeElement === blank;
    slot.className = 'vk-slot';
    blank.before(slot);
    slot.append(blank);
    if (focused) blank.focus();
    return slot;
  },
  // A blank wider than the page becomes a text area as wide as the page, its text wrapping.
  // Widths come from copies of an input, one of each size, laid out together once for the
  // window's width: reading the blanks' own would lay out every row.
  fit: function (blanks) {
    blanks = blanks || versekeep.blanks();
    var widths = versekeep.widths = versekeep.widths || {}, probes = {};
    blanks.forEach(function (blank) {
      var key = blank.size + ' ' + blank.className;
      if (blank.tagName !== 'INPUT' || key in widths || key in probes) return;
      for (var size = Math.max(100, blank.size); size >= 1; size = Math.min(size, 101) - 1) {
        var probe = probes[size + ' ' + blank.className] = blank.cloneNode(false);
        probe.removeAttribute('id');
        probe.removeAttribute('name');
        probe.size = size;
      }
    });
    if (!('room' in widths) || Object.keys(probes).length) {
      var box = document.createElement('div');
      box.className = 'vk-probes';
      for (var key in probes) box.append(probes[key]);
      document.body.append(box);
      // Room for a scroll bar that a longer page may bring.
      var root = document.documentElement;
      widths.room = document.body.clientWidth - (innerWidth > root.clientWidth ? 0 : 20);
      for (var key in probes) widths[key] = probes[key].offsetWidth;
      box.remove();
    }
    var room = widths.room, filled = [];
    blanks.forEach(function (blank) {
      var width = widths[blank.size + ' ' + blank.className];
      if (blank.tagName === 'INPUT' && width > room) {
        var area = document.createElement('textarea'), focused = document.activeElement === blank;
        for (var i = 0; i < blank.attributes.length; ++i)
          if (!/^(type|size)$/i.test(blank.attributes[i].name))
            area.setAttribute(blank.attributes[i].name, blank.attributes[i].value);
        area.rows = Math.ceil(width / room);
        area.value = blank.value;
        blank.replaceWith(area);
        if (focused) area.focus();
        blank = area;
      }
      if (blank.tagName === 'TEXTAREA') {
        versekeep.slot(blank).classList.add('vk-wide');
        blank.style.width = 'calc(100% - 1.5em)'; // and the mark beside it
        blank.style.boxSizing = 'border-box';
        blank.style.resize = 'none';
        if (blank.value !== '') filled.push(blank);
      }
    });
    versekeep.grow(filled);
  },
  // Text areas as high as their text: every height read in one layout, then set.
  grow: function (areas) {
    areas.forEach(function (area) { area.style.height = 'auto'; });
    areas.map(function (area) { return area.scrollHeight; }).forEach(function (height, n) {
      areas[n].style.height = height + 'px';
    });
  },
  focusFirstBlank: function () {
    var blank = document.getElementById('blank1');
    if (blank) blank.focus();
  },
  // Enter in a blank: the next blank still empty, going round; false when every other is
  // filled. Past the last blank shown while more are coming, the next is the first of those.
  focusNextEmpty: function (from) {
    var blanks = versekeep.blanks(), at = blanks.indexOf(from);
    for (var k = 1; at >= 0 && k < blanks.length + 1; ++k) {
      if (at + k === blanks.length && versekeep.coming) {
        versekeep.focusComing = true;
        versekeep.ask();
        return true;
      }
      var next = blanks[(at + k) % blanks.length];
      if (next !== from && next.value.trim() === '') {
        next.focus();
        return true;
      }
    }
    return false;
  },
  read: function (count) {
    // The builder's own ids are found at once; the index of them all only for another case.
    var ids = null, blanks = [], find = function (id) {
      return document.getElementById(id) || (ids = ids || versekeep.index()).find(id);
    };
    for (var n = 1; n <= count; ++n) {
      var id = find('verseid' + n), answer = find('answer' + n), blank = find('blank' + n);
      if (!id || !answer || !blank) return n;
      blanks.push([id.value, answer.value, blank.value]);
    }
    return JSON.stringify(blanks); // one text crosses to the window much faster than many
  },
  // Each blank right or wrong, beside it a mark; a wrong one red, with the page's expected text
  // as its tooltip, and under it the words that differ.
  correct: function (results) {
    var words = versekeep.words, blanks = versekeep.blanks();
    versekeep.judged = true;
    results.forEach(function (result, n) {
      var blank = blanks[n], answer = document.getElementById('answer' + (n + 1));
      if (!blank) return;
      var slot = versekeep.slot(blank), mark = document.createElement('span');
      slot.classList.add('vk-judged');
      blank.classList.add(result.right ? 'vk-right' : 'vk-wrong');
      mark.className = 'vk-mark';
      mark.setAttribute('aria-hidden', 'true');
      mark.textContent = result.right ? '\u2713' : '\u2717';
      blank.after(mark);
      if (result.right) return;
      blank.title = answer ? answer.value : '';
      blank.style.color = 'red';
      blank.setAttribute('aria-invalid', 'true');
      var fix = document.createElement('span'), shown = document.createElement('span'),
          told = document.createElement('span');
      fix.className = 'vk-fix';
      fix.id = 'correction' + (n + 1);
      shown.setAttribute('aria-hidden', 'true');
      result.difference.forEach(function (segment) {
        var text = segment[1], tag = {typed: 'del', expected: 'ins'}[segment[0]];
        if (tag && text.charAt(0) === ' ') {
          shown.append(' ');
          text = text.substring(1);
        }
        var part = tag ? document.createElement(tag) : document.createTextNode(text);
        part.textContent = text;
        shown.append(part);
      });
      told.className = 'vk-hidden'; // the blank itself holds what was typed
      told.textContent = versekeep.say(words.expected, [answer ? answer.value.trim() : '']);
      fix.append(shown, told);
      slot.append(fix);
      blank.setAttribute('aria-describedby', fix.id);
    });
  },
  note: function (text) {
    var note = document.getElementById('vk-note') || document.createElement('p');
    note.id = 'vk-note';
    note.setAttribute('role', 'status');
    note.textContent = text;
    document.body.append(note);
  }
};
new QWebChannel(qt.webChannelTransport, function (channel) {
  versekeep.window = channel.objects.window;
  versekeep.ask(); // rows the first page waits for
});
window.addEventListener('resize', function () {
  versekeep.widths = null;
  versekeep.fit();
});
document.addEventListener('input', function (event) {
  if (event.target.tagName === 'TEXTAREA') versekeep.grow([event.target]);
});
// Told from here, after the keys typed before it: the blanks hold all of them.
document.addEventListener('keydown', function (event) {
  if (event.key === 'Enter' && versekeep.window) {
    event.preventDefault();
    if (event.ctrlKey || versekeep.judged || !versekeep.focusNextEmpty(event.target))
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
    void more() { page_->sendRows(pieceSize); }

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
        setZoomFactor(zoom_); // the engine forgets a zoom given before the page was there
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

namespace {
// A text as JSON, written by a loop of its own: Qt's writer takes a tenth of a second over the
// html of a whole book.
QString jsonText(QStringView text) {
    QString written;
    written.reserve(text.size() + text.size() / 8 + 2);
    written += u'"';
    qsizetype plain = 0; // the start of the run written as it is
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t code = text[at].unicode();
        if (code >= 0x20 && code != u'"' && code != u'\\' && code != 0x2028 && code != 0x2029)
            continue;
        written += text.mid(plain, at - plain);
        if (code == u'"' || code == u'\\')
            written.append(u'\\').append(QChar(code));
        else
            written += QStringLiteral("\\u%1").arg(int(code), 4, 16, QLatin1Char('0'));
        plain = at + 1;
    }
    written += text.mid(plain);
    written += u'"';
    return written;
}

QString json(const QVariant &value) {
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)})
                                 .toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Where the next row of a page begins at or after from; -1 when none does. The builder's
// texts are escaped, so a "<tr" is always markup.
qsizetype rowAt(QStringView html, qsizetype from) {
    for (qsizetype at = from; (at = html.indexOf(u"<tr", at, Qt::CaseInsensitive)) >= 0; ++at)
        if (at + 3 < html.size() && (html[at + 3] == u'>' || html[at + 3].isSpace()))
            return at;
    return -1;
}
} // namespace

void WebQuestionPage::call(const QString &function, const QStringList &arguments,
                           const std::function<void(const QVariant &)> &result) {
    const QString script =
        QStringLiteral("versekeep.%1(%2)").arg(function, arguments.join(u','));
    if (result)
        page()->runJavaScript(script, result);
    else
        page()->runJavaScript(script);
}

void WebQuestionPage::showPage(const QString &html, std::function<void()> shown) {
    const QVariantMap words{
        {QStringLiteral("blank"), tr("Blank %1 of %2, %3")},
        {QStringLiteral("expected"), tr("Expected: %1")},
    };
    // The builder numbers its blanks in order: the last one's number is their count.
    const qsizetype last = html.lastIndexOf(u" id=\"blank");
    int total = 0;
    for (qsizetype at = last + 10; last >= 0 && at < html.size() && html[at].isDigit(); ++at)
        total = total * 10 + html[at].digitValue();
    // The rows up to the first screenful, and what follows the rows, go now.
    page_ = html;
    sent_ = rowsEnd_ = 0;
    const qsizetype first = rowAt(html, 0);
    const qsizetype end = first < 0 ? -1 : html.lastIndexOf(u"</table", -1, Qt::CaseInsensitive);
    if (end > first) {
        const qsizetype cut = rowAt(QStringView(html).left(end),
                                    first + firstScreenful(width(), height(), zoomFactor()));
        sent_ = cut < 0 ? end : cut;
        rowsEnd_ = end;
    }
    const QString now = sent_ < rowsEnd_ ? html.left(sent_) + html.mid(rowsEnd_) : html;
    if (sent_ == rowsEnd_)
        page_.clear();
    call(QStringLiteral("show"),
         {jsonText(now), json(words), QString::number(total),
          QLatin1String(sent_ < rowsEnd_ ? "true" : "false")},
         [shown](const QVariant &) {
             if (shown)
                 shown();
         });
}

void WebQuestionPage::sendRows(qsizetype size) {
    if (sent_ >= rowsEnd_)
        return;
    const qsizetype cut = size >= rowsEnd_ - sent_
                              ? -1
                              : rowAt(QStringView(page_).left(rowsEnd_), sent_ + size);
    const qsizetype upto = cut < 0 ? rowsEnd_ : cut;
    const QStringView rows = QStringView(page_).mid(sent_, upto - sent_);
    sent_ = upto;
    call(QStringLiteral("add"), {jsonText(rows), QLatin1String(sent_ < rowsEnd_ ? "true" : "false")});
    if (sent_ == rowsEnd_)
        page_.clear(); // all of it with the page now: its room serves the next
}

void WebQuestionPage::focusFirstBlank() {
    setFocus();
    call(QStringLiteral("focusFirstBlank"), {});
}

void WebQuestionPage::readBlanks(int count,
                                 std::function<void(const QList<BlankAnswer> &)> done,
                                 std::function<void(const Error &)> failed) {
    sendRows(rowsEnd_); // the rows still to send, all of them
    call(QStringLiteral("read"), {QString::number(count)}, [done, failed](const QVariant &result) {
        if (result.typeId() != QMetaType::QString)
            return failed(Error(Error::ObjectRequired,
                                tr("Blank %1 is missing from the page.").arg(result.toInt())));
        QList<BlankAnswer> blanks;
        for (const QJsonValue &row : QJsonDocument::fromJson(result.toString().toUtf8()).array()) {
            const QJsonArray values = row.toArray();
            bool number = false;
            const qint64 verseId = values.at(0).toString().toLongLong(&number);
            if (!number)
                return failed(Error(Error::TypeMismatch, tr("Type mismatch")));
            blanks.append({verseId, values.at(1).toString(), values.at(2).toString()});
        }
        done(blanks);
    });
}

void WebQuestionPage::showCorrections(const QList<BlankCorrection> &blanks) {
    static const QString kinds[] = {QStringLiteral("same"), QStringLiteral("typed"),
                                    QStringLiteral("expected")};
    QVariantList results;
    for (const BlankCorrection &blank : blanks) {
        QVariantList difference;
        for (const DiffSegment &segment : blank.difference)
            difference.append(QVariant(QVariantList{kinds[segment.kind], segment.text}));
        results.append(QVariantMap{{QStringLiteral("right"), blank.right},
                                   {QStringLiteral("difference"), difference}});
    }
    sendRows(rowsEnd_);
    call(QStringLiteral("correct"), {json(QVariant(results))});
}

void WebQuestionPage::showNote(const QString &text) {
    call(QStringLiteral("note"), {jsonText(text)});
}

void WebQuestionPage::setZoom(qreal factor) {
    zoom_ = factor;
    setZoomFactor(factor);
}

extern "C" Q_DECL_EXPORT QuestionPage *versekeepQuestionPage(QWidget *parent) {
    return new WebQuestionPage(parent);
}

#include "webquestionpage.moc"
