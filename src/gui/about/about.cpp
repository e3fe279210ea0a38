#include "gui/about/about.h"

#include "bible/versetable.h"
#include "gui/controls.h"
#include "gui/desktop.h"
#include "gui/dialogs.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {
const QString mailAddress = QStringLiteral("versekeep@tarnholm.example");
const QString webAddress = QStringLiteral("www.tarnholm.example/versekeep");

// A label that shows an address and opens it, from the mouse or the keyboard.
QLabel *link(QWidget *parent, const char *name, const QString &shown, const QUrl &target,
             Desktop &desktop, int left, int top, int width, int height) {
    QLabel *label = ::label(parent, name,
                            QStringLiteral("<a href=\"%1\">%2</a>")
                                .arg(target.toString().toHtmlEscaped(), shown.toHtmlEscaped()),
                            left, top, width, height);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [&desktop](const QString &address) { desktop.openAddress(QUrl(address)); });
    return label;
}
} // namespace

QIcon programIcon() {
    // The picture lives in a static library's resources, which the linker drops unless asked.
    static const bool loaded = [] {
        Q_INIT_RESOURCE(about);
        return true;
    }();
    Q_UNUSED(loaded);
    return QIcon(QStringLiteral(":/about/versekeep.png"));
}

frmAbout::frmAbout(const WindowContext &context, Desktop &desktop) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("About Versekeep"));
    setFont(defaultControlFont());
    setFixedSize(fromTwips(7065), fromTwips(4230));

    cmdOK = button(this, "cmdOK", tr("OK"), 5565, 3585, 1260, 345);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept); // Escape rejects: also closes
    auto *icon = control<QLabel>(this, "picIcon", 240, 240, 540, 540);
    icon->setPixmap(programIcon().pixmap(icon->size()));
    label(this, "lblTitle", tr("Versekeep"), 1050, 240, 3885, 480)
        ->setFont(arial(12, true));
    label(this, "lblVersion", tr("Version %1").arg(QStringLiteral(VERSEKEEP_VERSION)),
          1050, 780, 3885, 225);
    QString bible;
    context.dialogs.attempt([&] { bible = translationName(context.db); });
    label(this, "lblBible", bible.isEmpty() ? QString() : tr("Bible: %1").arg(bible), 1050, 1080,
          5775, 225)
        ->setTextFormat(Qt::PlainText);
    // The separator: a gray line over a white one.
    auto *line = control<QFrame>(this, "Line1", 0, 3360, 7065, 30);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    label(this, "Label3", tr("email: "), 240, 2640, 495, 255);
    link(this, "mailaddy", mailAddress, QUrl(QStringLiteral("mailto:") + mailAddress), desktop,
         840, 2640, 2415, 255);
    label(this, "Label4", tr("web:"), 240, 3000, 495, 255);
    link(this, "webaddy", webAddress, QUrl(QStringLiteral("https://") + webAddress), desktop, 840,
         3000, 2535, 255);
    cmdOK->setFocus();
}
