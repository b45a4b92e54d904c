#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>

// Where the form's controls stand, in logical pixels: the layout the window tests check at
// every scale. Written out here rather than taken from the window, so a slip there shows.
inline const QList<QPair<QString, QRect>> &expectedLayout()
{
    static const QList<QPair<QString, QRect>> layout = {
        {QStringLiteral("Label1_0"), QRect(32, 0, 393, 25)},
        {QStringLiteral("Frame1"), QRect(8, 32, 145, 129)},
        {QStringLiteral("Label1_1"), QRect(184, 32, 265, 25)},
        {QStringLiteral("List1_0"), QRect(184, 56, 265, 99)},
        {QStringLiteral("Command1_0"), QRect(264, 168, 113, 25)},
        {QStringLiteral("Text1_0"), QRect(8, 208, 449, 121)},
    };
    return layout;
}

// Author choice i, inside the frame.
inline QRect expectedOptionGeometry(int i)
{
    return {8, 20 * (i + 1), 129, 20};
}
