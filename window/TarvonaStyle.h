#pragma once

#include <QProxyStyle>

namespace tarvona {

/// Fusion, except that command buttons are filled with exactly their palette's button colour
/// (Fusion lightens it into a gradient) and group frames are not shaded, so every control
/// shows the colour it is given.
class TarvonaStyle : public QProxyStyle
{
    Q_OBJECT
public:
    TarvonaStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget = nullptr) const override;
};

} // namespace tarvona
