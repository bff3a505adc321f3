#pragma once

#include "pairs/cablesetup.h"

#include <QWidget>

class QPainter;

// The cable switch panel: the cable type (twisted 2/4/6/8 wires or non-twisted with free wires) and
// the shield, drawn as two connectors with the boxes that are pressed to change them.
class setSW : public QWidget
{
    Q_OBJECT
public:
    explicit setSW(QWidget* parent = nullptr);

    const CableSetup& setup() const { return m_setup; }
    quint8 cableType() const { return m_setup.cableType(); }
    quint8 wireMask() const { return m_setup.wireMask(); }
    bool shield() const { return m_setup.shield(); }

signals:
    void changeSW(uchar cabTYPE, uchar PIN, bool SHIELD);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void paintConnector(QPainter& p, int x0, bool active, const QString& name) const;
    void paintTypeRows(QPainter& p, int x0) const;
    void paintPinRows(QPainter& p, int x0) const;
    void paintShield(QPainter& p) const;

    CableSetup m_setup;
};
