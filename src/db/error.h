#pragma once

#include <QString>
#include <stdexcept>

// The one failure type of the program. Database failures carry SQLite's result code
// and message; the program's own failures use the numbers below.
class Error : public std::runtime_error {
public:
    enum Number {
        TypeMismatch = 13,  // a text where a number was expected
        ObjectRequired = 424, // an element the question page lacks
        InvalidUseOfNull = 94,  // a NULL where a value is needed
        BadInput = 1001,    // input the program cannot use (tools, settings)
        FileExists = 1002,  // a target file that must not be overwritten
        FileSystem = 1003,  // a folder or file that cannot be made or written
        DeletedElsewhere = 1004, // a user or passage another copy of the program deleted
    };

    Error(int number, const QString &description)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description) {}

    int number() const { return number_; }
    const QString &description() const { return description_; }
    // The text of the error report: "number description".
    QString reportText() const { return QString::number(number_) + ' ' + description_; }

private:
    int number_;
    QString description_;
};

inline Error nullError() { return Error(Error::InvalidUseOfNull, QStringLiteral("Invalid use of Null")); }
