#include "store/users.h"

QList<ListEntry> userList(Database &db) {
    Statement rows(db, "SELECT id, name FROM Users ORDER BY name, id");
    return listEntries(rows);
}

std::optional<qint64> addUser(Database &db, const QString &name) {
    if (name.trimmed().isEmpty())
        return std::nullopt;
    for (const QChar c : name) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            throw Error(Error::BadInput, QStringLiteral("A name cannot hold line breaks, tabs "
                                                        "or other control characters."));
    }
    Statement(db, "INSERT INTO Users (Name) VALUES (?)").bindAll(name).run();
    return db.lastInsertId();
}

void deleteUser(Database &db, qint64 userId) {
    try {
        Transaction transaction(db);
        Statement(db, "DELETE FROM PassageVerses WHERE passageID IN "
                      "(SELECT id FROM Passages WHERE UserID = ?)")
            .bindAll(userId)
            .run();
        Statement(db, "DELETE FROM Passages WHERE UserID = ?").bindAll(userId).run();
        Statement(db, "DELETE FROM Users WHERE id = ?").bindAll(userId).run();
        transaction.commit();
    } catch (const Error &error) {
        throw error.retold(QStringLiteral("The user was not deleted: %1").arg(error.description()));
    }
}

void requireUser(Database &db, qint64 userId) {
    Statement user(db, "SELECT count(*) FROM Users WHERE id = ?");
    if (user.bindAll(userId).next() && user.integer(0) == 0)
        throw Error(Error::DeletedElsewhere,
                    QStringLiteral("This user was deleted in another copy of Versekeep, so "
                                   "nothing was saved."));
}
