#pragma once

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QVector>

class QWidget;

// The report pictures: a grab of a widget on a dark canvas with a line of captions under it.
namespace Report
{

struct Caption {
    int x = 0;          // left end
    int fromBottom = 0; // the base line is this far above the canvas's lower edge
    QString text;
};

struct ShotLayout {
    int extraWidth = 0; // canvas = grab + extra
    int extraHeight = 0;
    QPoint at; // where the grab goes
    QVector<Caption> captions;
};

// Texts shown with the pictures; date is "dd/MM/yy hh:mm", pair the pair label.
ShotLayout lfaOscShot(const QString& date, const QString& pair, const QString& timeDiv, const QString& vDiv,
                      const QString& gain, const QString& bias);
ShotLayout lfaSpecShot(const QString& date, const QString& pair, const QString& gain, const QString& bias);
ShotLayout switchShot(const QString& date);
ShotLayout reflGraphShot(const QString& date, const QString& pair, const QString& factor);
ShotLayout reflSwitchShot(const QString& date, const QString& factor);
ShotLayout wrxSpecShot(const QString& date, const QString& pair, const QString& range, const QString& gain,
                       const QString& step, bool diff);
ShotLayout wrxOscShot(const QString& date, const QString& pair, const QString& freq, const QString& gain,
                      const QString& step, const QString& demod, const QString& timeBase);
ShotLayout nljdShot(const QString& date, const QString& pair, double level);

// A caption that would run into the one before it on the same line moves right, so that other
// fonts than the usual one never make the texts overlap.
QImage composeShot(const QPixmap& grab, const ShotLayout& layout);
QImage composeShot(QWidget& source, const ShotLayout& layout);

// Written under a temporary name and renamed into place; false when the file could not be written.
bool saveImage(const QImage& image, const QString& path);

} // namespace Report
