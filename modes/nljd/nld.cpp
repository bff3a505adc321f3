#include "nld.h"

#include <QPaintEvent>
#include <QPainter>

void NLD::paintEvent(QPaintEvent* e)
{
    // Harmonic bars and REFL marks are drawn by the modes over this plain, transparent face, so a
    // selected row keeps its highlight behind the indicator.
    QWidget::paintEvent(e);
}
