#include "users/userstore.h"

QList<ListEntry> userList(Database &db) {
    Statement rows(db, "SELECT id, name FROM Users ORDER BY name, id");
    return listEntries(rows);
}

std::optional<qint64> addUser(Database &db, const QString &name) {
    if (name.trimmed().isEmpty())
        return std::nullopt;
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
        throw Error(error.number(),
                    QStringLiteral("The user was not deleted: %1").arg(error.description()));
    }
}
