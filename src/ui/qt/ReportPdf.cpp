#include "ui/qt/ReportPdf.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>
#include <cstdio>

#include "ui/qt/FormLayout.h"
#include "ui/qt/ReportPainter.h"

QString WriteReportPdf(const Report& report, const QString& path, int* pages)
{
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + "/." + target.fileName() + ".XXXXXX");
    if (!temporary.open()) return QString::fromUtf8("无法在 %1 中写文件（%2）").arg(target.absolutePath(), temporary.errorString());
    temporary.close();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(temporary.fileName());
    pdf.setDocName(QString::fromUtf8(form::CAPTION));
    const ReportPaintResult result = PaintReport(report, pdf);
    if (!result.ok) return result.error;
    temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return QString::fromUtf8("无法写入 %1").arg(path);
    temporary.setAutoRemove(false);
    if (pages) *pages = result.pages;
    return {};
}
