#pragma once

#include <QObject>

struct PairRecord;

// What the NLJD / REFL indicators read: the pair records, the selection and the file marks. The
// window provides one; indicators created elsewhere (the pair table) find it among their ancestors.
class NldSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~NldSource() override;

    virtual const PairRecord& record(int pair) const = 0;
    virtual quint8 currentPair() const = 0;
    // The file's harmonics to mark on the large display for `pair`; false when no marks are shown.
    virtual bool fileMarks(int pair, quint8& harm2, quint8& harm3) const = 0;
};
