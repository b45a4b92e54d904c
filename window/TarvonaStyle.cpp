#include "TarvonaStyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace tarvona {

TarvonaStyle::TarvonaStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) { }

void TarvonaStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    if (element == PE_FrameGroupBox) {
        // Fusion shades a group's inside; the frame keeps its own colour and gets only an
        // outline.
        painter->save();
        painter->setPen(option->palette.window().color().darker(150));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    if (element != PE_PanelButtonCommand) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const QColor face = option->palette.button().color();
    const bool pressed = (option->state & (State_Sunken | State_On)) != 0;
    const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    // A pressed button darkens a little so the pupil sees the press; otherwise the face is
    // the given colour, flat, with no gradient to shift it.
    painter->setBrush(pressed ? face.darker(115) : face);
    painter->setPen(QPen(face.darker(170), 1.0));
    painter->drawRoundedRect(box, 2.0, 2.0);
    if ((option->state & State_HasFocus) != 0) {
        QColor focus = option->palette.highlight().color();
        focus.setAlpha(200);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(focus, 1.0));
        painter->drawRoundedRect(box.adjusted(1.0, 1.0, -1.0, -1.0), 1.5, 1.5);
    }
    painter->restore();
}

} // namespace tarvona
