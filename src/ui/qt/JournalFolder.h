#pragma once
// Where the journals of the running windows live: the user's data folder
// (QStandardPaths::AppDataLocation). Each window has a journal of its own,
// held by a lock file while the window lives; a journal whose lock no running
// program holds belongs to a run that was cut off (cancelled, refused, or the
// program closed, killed or crashed) and is offered again at the next start.
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>

#include "files/Journal.h"

class JournalFolder {
public:
    // The folder of the user's data, created when missing.
    static QString Path();

    // This window's journal, locked for as long as the folder object lives.
    JournalFolder();
    Journal& Own() { return *journal_; }
    bool Usable() const { return lock_ != nullptr; }

    // Journals of runs that were cut off, oldest first, each locked by this
    // window until released.
    struct Orphan {
        QString path;
        std::shared_ptr<QLockFile> lock;
    };
    std::vector<Orphan> TakeOrphans() const;
    // Some journal of a run cut off in a program that is gone is there.
    bool HasOrphans() const { return !TakeOrphans().empty(); }
    // Keeps an orphan as a dated observation file in the same folder; returns its path.
    static QString KeepAsFile(const Orphan& orphan);
    static void Discard(const Orphan& orphan);

private:
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<Journal> journal_;
};
