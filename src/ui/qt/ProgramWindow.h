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
class ObservationTable;

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

    // The observation table, once it was opened.
    ObservationTable* Observations() const { return table_; }

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
    // 查看 → 观测数据 (Ctrl+T): the current observations in a table to edit
    // and adjust (ProgramWindowTable.cpp); opened by itself after a run that
    // did not complete.
    void ShowObservationTable();
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

    ObservationTable& Table();
    // After every run: the table takes its values, or opens on a run that did not complete.
    void TableAfterRun();
    // 精度预估 of the table's values: the report saved where the surveyor chooses.
    void DesignFromTable();
    // The values 保存 writes: the table's once they were edited (a reason
    // when a file of them would not read back), else the last run's.
    QString ObservationsToSave(ObservationRecord& record) const;
    ObservationTable* table_ = nullptr;
    bool tableRun_ = false;            // the run under way adjusts the table's values
    QList<QAction*> resultViews_;      // 成果表, 网图, 边长归算表, 计算过程: only with a completed run
};
