#include "ui/qt/Fonts.h"

#include <QApplication>
#include <QStringList>

void SetUpApplication()
{
    QApplication::setApplicationName(QString::fromUtf8(form::CAPTION));
    QFont::insertSubstitutions(QString::fromUtf8(form::SONG),
                               {"Noto Serif CJK SC", "Noto Serif CJK", "AR PL UMing CN", "Noto Serif", "serif"});
    QFont::insertSubstitutions(QString::fromUtf8(form::SANS),
                               {"DejaVu Sans", "Liberation Sans", "Noto Sans", "sans-serif"});
}

QFont FormFont(form::FontKind kind)
{
    using form::FontKind;
    QString family = QString::fromUtf8(form::SANS);
    double points = 8.25;
    switch (kind) {
    case FontKind::Window: break;
    case FontKind::Song9: family = QString::fromUtf8(form::SONG); points = 9; break;
    case FontKind::Song12: family = QString::fromUtf8(form::SONG); points = 12; break;
    case FontKind::Sans12: points = 12; break;
    case FontKind::PointLabel: points = 9.75; break;
    }
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}
