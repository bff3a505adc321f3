#pragma once

// What every harness shares: the rule check and a scratch folder for inputs written as files.
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace Fuzz
{
// A broken rule ends the run with its name; libFuzzer keeps the input.
inline void check(bool holds, const char* what)
{
    if (!holds) {
        fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// Where a harness writes its input as a file: in memory when the system offers it.
inline QTemporaryDir* scratchFolder()
{
    const bool shm = QFileInfo(QStringLiteral("/dev/shm")).isDir();
    return new QTemporaryDir(shm ? QStringLiteral("/dev/shm/kv847-fuzz-XXXXXX") : QString());
}
} // namespace Fuzz
