#pragma once

#include <QtGlobal>

// What one write did: the rows of one passage changed, the connection's count of changes
// (Database::changes) before it and after it. One who kept rows read before and knows every
// change since from such notes knows which rows to read again.
struct PassageWritten {
    qint64 passageId = 0;
    qint64 changesBefore = -1; // none: no write to tell of
    qint64 changesAfter = -1;
};
