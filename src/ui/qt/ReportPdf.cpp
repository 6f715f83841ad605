#include "ui/qt/ReportPdf.h"

#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>

#include "files/SystemErrorText.h"
#include "ui/qt/FormLayout.h"
#include "ui/qt/ReportPainter.h"

QString WritePdfAtomically(const QString& path, const QString& docName, const std::function<QString(QPrinter&)>& paint)
{
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + "/." + target.fileName() + ".XXXXXX");
    if (!temporary.open()) {
        const int error = errno;  // the reason of the open(2) under it; Qt's own text is English
        return QString::fromUtf8("无法在 %1 中写文件（%2）").arg(target.absolutePath(), QString::fromStdString(SystemErrorText(error)));
    }
    temporary.close();
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(temporary.fileName());
    pdf.setDocName(docName);
    if (const QString error = paint(pdf); !error.isEmpty()) return error;
    temporary.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return QString::fromUtf8("无法写入 %1（%2）").arg(path, QString::fromStdString(SystemErrorText(errno)));
    temporary.setAutoRemove(false);
    return {};
}

QString WriteReportPdf(const Report& report, const QString& path, int* pages)
{
    return WritePdfAtomically(path, QString::fromUtf8(form::CAPTION), [&](QPrinter& pdf) {
        const ReportPaintResult result = PaintReport(report, pdf);
        if (pages) *pages = result.pages;
        return result.ok ? QString() : result.error;
    });
}
