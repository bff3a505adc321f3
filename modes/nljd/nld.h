#pragma once

#include <QWidget>

class NldSource;

// The NLJD / REFL indicator: the large NLJD display (pair 255) and one small indicator per pair row,
// which draws either the harmonics or the REFL level and distance.
class NLD : public QWidget
{
    Q_OBJECT
public:
    static constexpr quint8 LargeDisplay = 255;

    // REFL states besides the bar lengths 1..220.
    enum ReflState : quint8 {
        Nothing = 0,
        MaxBar = 220,
        NoDefects = 252,
        Noise = 253,
        OverVoltage = 254,
        Measuring = 255
    };

    NLD(QWidget* parent, quint8 pair) : QWidget(parent), m_pair(pair) {}

    quint8 pair() const { return m_pair; }
    bool reflMode() const { return m_reflMode; }
    void setReflMode(bool on) { m_reflMode = on; }
    float distance() const { return m_distance; }
    quint8 state() const { return m_state; }
    // Distance in metres and state of the REFL indicator, shown at once.
    void setReflState(float distance, quint8 state);

    // Without one, the nearest source among the ancestors is used.
    void setSource(const NldSource* source) { m_source = source; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    const NldSource* source() const;
    QFont textFont(int pointSize) const;
    QColor background(quint8 currentPair) const;
    void paintLarge(QPainter& p, const NldSource& src) const;
    void paintHarmonics(QPainter& p, const NldSource& src) const;
    void paintRefl(QPainter& p, const NldSource& src) const;

    quint8 m_pair;
    bool m_reflMode = false; // false: NLJD harmonics, true: REFL level and distance
    float m_distance = 0;
    quint8 m_state = Nothing;
    const NldSource* m_source = nullptr;
};
