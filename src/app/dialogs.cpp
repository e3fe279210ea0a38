#include "dialogs.h"

void Dialogs::report(const Error &error) { errorReport(error.number(), error.description()); }
