#include "ui/qt/MainWindow.h"

#include <QApplication>
#include <QGridLayout>

#include "state/AdjustmentRun.h"
#include "ui/ReportComposer.h"
#include "ui/qt/QtPlatform.h"

MainWindow::MainWindow()
{
    setObjectName("Form1");
    setWindowTitle(QString::fromUtf8("端点为已知点的三边锁平差"));
    auto* grid = new QGridLayout(this);
    for (int n = 1; n <= 29; ++n) {
        if (n == 13) continue;
        auto* field = new QLineEdit(this);
        field->setObjectName(QString("Text%1").arg(n));
        field->setReadOnly(true);
        grid->addWidget(field, (n - 1) / 4, (n - 1) % 4);
        fields_[static_cast<std::size_t>(n)] = field;
    }
    run_ = new QPushButton(QString::fromUtf8("平差计算"), this);
    run_->setObjectName("Command1");
    end_ = new QPushButton(QString::fromUtf8("结束计算"), this);
    end_->setObjectName("Command2");
    print_ = new QPushButton(QString::fromUtf8("打 印"), this);
    print_->setObjectName("Command3");
    print_->setEnabled(false);
    grid->addWidget(run_, 8, 0);
    grid->addWidget(end_, 8, 1);
    grid->addWidget(print_, 8, 2);
    connect(run_, &QPushButton::clicked, this, &MainWindow::RunAdjustment);
    connect(end_, &QPushButton::clicked, qApp, &QApplication::quit);
    connect(print_, &QPushButton::clicked, this, &MainWindow::PrintReport);
}

void MainWindow::SetFieldText(int field, const QString& text)
{
    if (QLineEdit* f = Field(field)) f->setText(text);
}

void MainWindow::RunAdjustment()
{
    QtPlatform platform(*this);
    print_->setEnabled(false);
    AdjustmentRun(state_, platform);
    print_->setEnabled(state_.LastRunCompleted);
}

void MainWindow::PrintReport()
{
    QtPlatform platform(*this);
    ReportPrinter(state_, platform);
}

void MainWindow::PrintToPrinter(const Report&) {}
