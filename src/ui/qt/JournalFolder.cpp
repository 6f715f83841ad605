#include "ui/qt/JournalFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <cstring>

namespace {

const char* PREFIX = "journal-";
const char* SUFFIX = ".trilat";

QString LockOf(const QString& journal) { return journal.chopped(int(std::strlen(SUFFIX))) + ".lock"; }

}  // namespace

QString JournalFolder::Path()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder;
}

JournalFolder::JournalFolder()
{
    const QString name = Path() + "/" + PREFIX + QUuid::createUuid().toString(QUuid::WithoutBraces) + SUFFIX;
    auto lock = std::make_unique<QLockFile>(LockOf(name));
    lock->setStaleLockTime(0);  // a lock is stale only when its program is gone
    if (lock->tryLock(0)) lock_ = std::move(lock);
    journal_ = std::make_unique<Journal>(QFile::encodeName(name).toStdString());
}

std::vector<JournalFolder::Orphan> JournalFolder::TakeOrphans() const
{
    std::vector<Orphan> orphans;
    const QDir folder(Path());
    const QFileInfoList files =
        folder.entryInfoList({QString(PREFIX) + "*" + SUFFIX}, QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo& file : files) {
        const QString path = file.absoluteFilePath();
        if (QFile::encodeName(path).toStdString() == journal_->Path()) continue;
        auto lock = std::make_shared<QLockFile>(LockOf(path));
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) continue;  // a running window's own
        orphans.push_back({path, lock});
    }
    return orphans;
}

QString JournalFolder::KeepAsFile(const Orphan& orphan)
{
    const QFileInfo journal(orphan.path);
    const QString stamp = journal.lastModified().toString("yyyy-MM-dd-HHmmss");
    QString kept = journal.absolutePath() + "/未完成的输入-" + stamp + SUFFIX;
    for (int n = 2; QFile::exists(kept); ++n)
        kept = journal.absolutePath() + "/未完成的输入-" + stamp + "-" + QString::number(n) + SUFFIX;
    // the journal lacks the end mark of an incomplete file: add it on the way
    QFile in(orphan.path);
    if (!in.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = in.readAll();
    in.close();
    const qsizetype end = bytes.lastIndexOf('\n');
    bytes.truncate(end + 1);  // a line cut by the crash is not kept
    bytes += "未完成\n";
    QFile out(kept);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(bytes) != bytes.size() || !out.flush())
        return {};
    out.close();
    Discard(orphan);
    return kept;
}

void JournalFolder::Discard(const Orphan& orphan)
{
    QFile::remove(orphan.path);
    orphan.lock->unlock();
}
