#pragma once
// Whether a copy of Mervane runs for this user, asked by setup and remove before they
// touch the program's files. It never takes the single-instance lock: holding it would
// keep the program from starting, and a running copy must not be told to come forward.

#include <QString>

namespace mv {

// folder: where the running copy keeps its lock and socket (empty: the usual place).
bool mervaneRuns(const QString& folder = {});

}  // namespace mv
