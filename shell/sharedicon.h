#pragma once

#include <QHash>
#include <QIcon>
#include <QString>

// One icon per picture name for the whole run. Every QIcon made from a file name holds its own copy
// of the picture, and each copy it draws (at a size, disabled, active) is put into the process-wide
// pixmap cache under that copy's key: icons made afresh on every tick or refresh fill the cache with
// dead entries until its limit pushes everything else out.
inline QIcon sharedIcon(const QString& name)
{
    static QHash<QString, QIcon> icons;
    auto it = icons.constFind(name);
    if (it == icons.constEnd())
        it = icons.insert(name, QIcon(name));
    return *it;
}
