#pragma once
// The program's top-level window: the menu bar above the form. 文件 opens
// and saves observation files and exports the last completed run; the form
// keeps its own layout below the bar. The window keeps a journal of every run
// and, at start, offers to continue a run that was cut off.
#include <QMainWindow>
#include <memory>

#include "ui/qt/JournalFolder.h"
#include "ui/qt/MainWindow.h"

class QAction;
class QMenu;
class QScrollArea;

class ProgramWindow : public QMainWindow {
    Q_OBJECT
public:
    ProgramWindow();

    MainWindow& Form() { return *form_; }
    QMenu* FileMenu() const { return fileMenu_; }
    QMenu* ExportMenu() const { return exportMenu_; }
    QMenu* ViewMenu() const { return viewMenu_; }
    // Offers to continue the journals of runs that were cut off (a box for
    // each); the program calls it once the window is shown.
    void OfferCutOffRuns();

    // Opens the observation file at path as 打开 does (trilat FILE); false
    // when it cannot be read or is refused (the reason shown in a box).
    bool OpenFile(const QString& path);

public slots:
    void OpenObservations();
    void SaveObservations();
    // 文件 → 继续未完成的输入: the values of this window's last run cut off
    // (cancelled, refused at its input), asked on from where it stopped; else
    // a run cut off in a program that is gone, offered as at start.
    void ContinueCutOffRun();
    // 查看 → 成果表: the tables of the last completed run, in a window of their own.
    void ShowResultsTable();
    // 查看 → 网图: the drawing of the chain, in a window of its own.
    void ShowNetwork();
    // 查看 → 计算过程: the condition adjustment step by step, with 导出 (PDF or text).
    void ShowSteps();
    // 帮助 → 使用说明 (F1) and 关于: a short manual, the version and the folders.
    void ShowManual();
    void ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The form's zoom follows the size of the area it stands in.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The file name the operator chooses in a dialog of the given kind; a
    // name typed without extension gets the filter's.
    QString ChooseFile(bool save, const QString& title, const QString& filter, const QString& suffix);
    void Export(const QString& title, const QString& filter, const QString& suffix,
                const std::function<QString(const QString& path)>& write);
    void UpdateMenus();
    // The title: the open or saved file's name before the program's caption.
    void ShowFileInTitle(const QString& path);
    void Warn(const QString& text);
    // Where an unfinished run's values were kept, with a button that opens the folder.
    void TellWhereKept(const QString& kept);

    MainWindow* form_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QMenu* exportMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QAction* continueAction_ = nullptr;
    QScrollArea* formArea_ = nullptr;
    JournalFolder journals_;
    bool closeWhenRunEnds_ = false;
};
