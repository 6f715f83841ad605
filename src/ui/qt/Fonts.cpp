#include "ui/qt/Fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

// 宋体 at bold 9 pt: every Latin character half as wide as a Chinese one (6
// and 12 pixels at 96 DPI), so labels such as "S67=1216.0355" fit the field
// widths of the layout and the report's "=" signs line up. Measured on
// Debian's CJK faces at bold 9 pt, synthetic bold included: AR PL SungtiL GB
// (a Song face, fonts-arphic-gbsn00lp) 6.00/12.00 with a line of 12 px, as
// 宋体; AR PL UMing CN 6.00/12.00; Noto Sans Mono CJK SC 6.00/12.00 but a
// line of 17 px and a sans face; Noto Serif CJK SC proportional (S 7.16,
// "." 4.02). The Noto faces also share the glyphs of 方, 角, 长, 米 with the
// Kangxi radicals, so a PDF's text reads back as radicals; the AR PL faces
// do not. AR PL SungtiL GB is a simplified-only face: it lacks 側 (of
// "右側") and ², which were then drawn from another, heavier face; AR PL
// UMing CN (fonts-arphic-uming) holds every character of the program's
// texts. Hence AR PL UMing CN first, SungtiL GB after it.
void SetUpApplication()
{
    QApplication::setApplicationName(QString::fromUtf8(form::CAPTION));
    QApplication::setApplicationVersion(QString::fromUtf8(TRILAT_VERSION));
    QFont::insertSubstitutions(QString::fromUtf8(form::SONG), {"AR PL UMing CN", "AR PL SungtiL GB",
                                                                "Noto Sans Mono CJK SC", "Noto Serif CJK SC", "serif"});
    QFont::insertSubstitutions(QString::fromUtf8(form::SANS),
                               {"DejaVu Sans", "Liberation Sans", "Noto Sans", "sans-serif"});

    // Qt's own dialogs (file dialog, standard buttons) in Chinese.
    static QTranslator qtbase;
    if (qtbase.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtbase);
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
