#pragma once

#include <QString>
#include <QUrl>

// The system's own programs that Versekeep hands things to; tests replace them.
class Desktop {
public:
    virtual ~Desktop() = default;
    // Shows the help file at its first topic; false when no viewer could be started.
    virtual bool openHelp(const QString &file) = 0;
    // A mailto: or web address, opened with the system's handler.
    virtual void openAddress(const QUrl &address) = 0;
};

// xchm for the help, the desktop's handlers for addresses.
class SystemDesktop : public Desktop {
public:
    bool openHelp(const QString &file) override;
    void openAddress(const QUrl &address) override;
};
