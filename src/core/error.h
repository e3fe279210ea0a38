#pragma once

#include <QString>
#include <stdexcept>

// The one failure type of the program. Database failures carry SQLite's result code and
// message; the program's own failures use the numbers below. The two sets of numbers
// overlap (SQLite's 13 is a full disk, the program's 13 a type mismatch), so an error
// also says which set its number is from.
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
    enum class Origin { Program, Database };

    Error(int number, const QString &description, Origin origin = Origin::Program)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description), origin_(origin) {}
    // A failure SQLite reported, with its result code.
    static Error database(int resultCode, const QString &description) {
        return Error(resultCode, description, Origin::Database);
    }

    int number() const { return number_; }
    const QString &description() const { return description_; }
    Origin origin() const { return origin_; }
    // True for the program's own failure of this number.
    bool is(Number number) const { return origin_ == Origin::Program && number_ == number; }
    // True for SQLite's failure of this result code.
    bool isDatabase(int resultCode) const {
        return origin_ == Origin::Database && number_ == resultCode;
    }
    // The same failure told in other words.
    Error retold(const QString &description) const { return Error(number_, description, origin_); }
    // The text of the error report: "number description".
    QString reportText() const { return QString::number(number_) + ' ' + description_; }

private:
    int number_;
    QString description_;
    Origin origin_;
};

inline Error nullError() { return Error(Error::InvalidUseOfNull, QStringLiteral("Invalid use of Null")); }
