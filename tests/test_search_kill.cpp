// hexagonal-life-search killed outright (SIGKILL) again and again, at
// random moments and in the middle of its periodic saves, then run again
// with the same command: it ends byte for byte as the uninterrupted run,
// and after every kill its --out on disk is absent, the old whole file or a
// new whole one, never part of a file. The saves are made frequent by
// HEXLIFE_SEARCH_SAVE_SECONDS; the test waits on the folder's events
// (inotify) and on the process (pidfd), never on a fixed time. The random
// choices come from a seed that is printed (HEXLIFE_TEST_SEED repeats one).
#include <QtTest>

#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/safe_files.h"
#include "search/result_file.h"

extern char** environ;

using namespace hexlife;
using namespace hexlife::search;

namespace {

using Clock = std::chrono::steady_clock;

struct Child {
    pid_t pid = -1;
    int pidfd = -1;  // readable once the child has ended
};

// Starts the program with `args`, its output to files in `folder`, saving
// every `saveSeconds`.
Child Start(const QStringList& args, const QString& folder, const char* saveSeconds)
{
    std::vector<std::string> words{HEXLIFE_SEARCH_PROGRAM};
    for (const QString& a : args) words.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "HEXLIFE_SEARCH_SAVE_SECONDS=", 28) != 0) env.push_back(*e);
    }
    env.push_back(std::string("HEXLIFE_SEARCH_SAVE_SECONDS=") + saveSeconds);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string out = (folder + "/stdout").toStdString(), err = (folder + "/stderr").toStdString();
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Child child;
    if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (child.pid > 0) child.pidfd = int(::syscall(SYS_pidfd_open, child.pid, 0));
    return child;
}

// Waits for the child's end: its wait status.
int Reap(Child& child)
{
    int status = 0;
    while (::waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (child.pidfd >= 0) ::close(child.pidfd);
    child = {};
    return status;
}

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The temporary files of a save of `name` in `folder` (".name.XXXXXX").
QStringList Temporaries(const QString& folder, const QString& name)
{
    return QDir(folder).entryList({"." + name + ".??????"}, QDir::Files | QDir::Hidden);
}

// Where in the run a kill lands.
enum class Moment {
    Random,          // a random time after the start
    SaveBegun,       // the save's temporary file made
    SaveWritten,     // the temporary file written and closed, not yet renamed
    SaveDone,        // the file renamed into place
};
const char* const MomentNames[] = {"at a random time", "when a save has begun",
                                   "when a save is written, before its rename", "when a save is in place"};

}  // namespace

class TestSearchKill : public QObject {
    Q_OBJECT

private slots:
    void killedThenResumed()
    {
        std::uint64_t seed = std::random_device{}();
        if (const QByteArray given = qgetenv("HEXLIFE_TEST_SEED"); !given.isEmpty()) seed = given.toULongLong();
        qInfo("seed %llu (HEXLIFE_TEST_SEED=%llu repeats it)", qulonglong(seed), qulonglong(seed));
        std::mt19937_64 random(seed);

        // On the disk rather than in a memory file system, so that a save's
        // flush takes its real time.
        QTemporaryDir dir(QDir::currentPath() + "/search-kill-XXXXXX");
        QVERIFY(dir.isValid());
        const QString folder = dir.path(), whole = dir.filePath("whole.txt"), part = dir.filePath("part.txt");
        // Two threads: a block may finish out of turn, so that a saved
        // partial result can hold gaps.
        auto args = [](const QString& out) {
            return QStringList{"--columns", "4", "--rows", "4", "--range", "0:40960", "--threads", "2", "--out", out};
        };

        const auto started = Clock::now();
        Child reference = Start(args(whole), folder, "60");
        QVERIFY(reference.pid > 0);
        const int referenceStatus = Reap(reference);
        const double length = std::chrono::duration<double>(Clock::now() - started).count();
        QVERIFY(WIFEXITED(referenceStatus) && WEXITSTATUS(referenceStatus) == 0);
        const QByteArray wholeBytes = ReadFile(whole), wholeSummary = ReadFile(folder + "/stdout");
        QVERIFY(ParseResult(wholeBytes.toStdString()).result);

        const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        QVERIFY(fd >= 0);
        QVERIFY(::inotify_add_watch(fd, folder.toLocal8Bit().constData(), IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO) >=
                0);
        const QByteArray temporaryPrefix = ".part.txt.";

        constexpr int Kills = 24;
        int kills = 0, runs = 0, chains = 0, midSave = 0, partial = 0, landed[4] = {0, 0, 0, 0};
        QByteArray previous;  // the file as the last kill left it; empty where there was none
        while (kills < Kills) {
            const Moment moment = Moment(random() % 4);
            // A random time first; a save's moment is then the next such
            // event, so that the kills reach the saves of later blocks.
            const double delay = std::uniform_real_distribution<double>(0, length / 2)(random);
            char buffer[4096];
            while (::read(fd, buffer, sizeof buffer) > 0) {
            }
            Child child = Start(args(part), folder, "0.01");
            QVERIFY(child.pid > 0);
            ++runs;
            pollfd first{child.pidfd, POLLIN, 0};
            bool ended = ::poll(&first, 1, int(delay * 1000)) > 0;
            if (moment != Moment::Random) {
                while (::read(fd, buffer, sizeof buffer) > 0) {
                }
                bool seen = false;
                while (!ended && !seen) {
                    pollfd p[2] = {{child.pidfd, POLLIN, 0}, {fd, POLLIN, 0}};
                    if (::poll(p, 2, -1) < 0) continue;
                    if (p[1].revents & POLLIN) {
                        const ssize_t n = ::read(fd, buffer, sizeof buffer);
                        for (ssize_t at = 0; at < n && !seen;) {
                            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                            at += ssize_t(sizeof(inotify_event) + e->len);
                            const QByteArray name = e->len > 0 ? QByteArray(e->name) : QByteArray();
                            const bool temporary = name.startsWith(temporaryPrefix);
                            seen = (moment == Moment::SaveBegun && temporary && (e->mask & IN_CREATE)) ||
                                   (moment == Moment::SaveWritten && temporary && (e->mask & IN_CLOSE_WRITE)) ||
                                   (moment == Moment::SaveDone && name == "part.txt" && (e->mask & IN_MOVED_TO));
                        }
                        if (seen) break;  // kill at once
                    }
                    if (p[0].revents & POLLIN) ended = true;
                }
            }
            if (!ended) ::kill(child.pid, SIGKILL);
            const int status = Reap(child);

            // What the kill left on the disk.
            const QStringList leftovers = Temporaries(folder, "part.txt");
            const QByteArray now = ReadFile(part);
            const bool exists = QFileInfo::exists(part);
            if (WIFSIGNALED(status)) {
                QCOMPARE(WTERMSIG(status), SIGKILL);
                ++kills;
                ++landed[int(moment)];
                if (!leftovers.isEmpty()) ++midSave;
            } else {
                // Done before the kill: the chain of runs ends here.
                QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(ReadFile(folder + "/stderr")));
                QCOMPARE(ReadFile(folder + "/stdout"), wholeSummary);
            }
            if (!exists) {
                QVERIFY2(previous.isEmpty(), "a saved file vanished");
            } else if (now != previous) {
                const ParsedResult parsed = ParseResult(now.toStdString());
                QVERIFY2(parsed.result, qPrintable(QString("after a kill %1 the file is not whole: %2")
                                                       .arg(MomentNames[int(moment)])
                                                       .arg(QString::fromStdString(parsed.error))));
                const Result& r = *parsed.result;
                QVERIFY(r.box == (Box{4, 4}) && r.begin == 0 && r.end == 40960 && !r.sample);
                if (!previous.isEmpty()) {
                    // Nothing done is lost from one save to the next.
                    const Result old = *ParseResult(previous.toStdString()).result;
                    Ranges both = r.progress.done;
                    for (const auto& [a, b] : old.progress.done) AddRange(both, a, b);
                    QCOMPARE(RangesSize(both), RangesSize(r.progress.done));
                    QVERIFY(r.progress.tally.figures >= old.progress.tally.figures);
                }
                const std::uint64_t done = RangesSize(r.progress.done);
                if (done > 0 && done < r.items()) ++partial;
            }
            for (const QString& name : leftovers) QFile::remove(dir.filePath(name));
            previous = now;
            if (!WIFSIGNALED(status)) {
                QCOMPARE(now, wholeBytes);
                QFile::remove(part);
                previous.clear();
                ++chains;
            }
        }

        // The same command once more, left alone, ends as the whole run.
        Child last = Start(args(part), folder, "0.01");
        QVERIFY(last.pid > 0);
        const int lastStatus = Reap(last);
        QVERIFY2(WIFEXITED(lastStatus) && WEXITSTATUS(lastStatus) == 0, qPrintable(ReadFile(folder + "/stderr")));
        QCOMPARE(ReadFile(folder + "/stdout"), wholeSummary);
        QCOMPARE(ReadFile(part), wholeBytes);
        QVERIFY(Temporaries(folder, "part.txt").isEmpty());
        ::close(fd);

        qInfo("%d kills in %d runs (%d runs finished before their kill): %d %s, %d %s, %d %s, %d %s; "
              "%d killed mid-save (a temporary file left), %d left a partial result",
              kills, runs, chains, landed[0], MomentNames[0], landed[1], MomentNames[1], landed[2], MomentNames[2],
              landed[3], MomentNames[3], midSave, partial);
        // The kills reached what they are for: the middle of a save, and
        // partial results that the next run goes on from.
        QVERIFY(midSave >= 1);
        QVERIFY(partial >= 1);
    }
};

QTEST_GUILESS_MAIN(TestSearchKill)
#include "test_search_kill.moc"
