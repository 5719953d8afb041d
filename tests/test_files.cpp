// Files that never lose data and opens that never block: a save that fails
// at any step (a file-size limit, a full disk, a read-only folder, a folder
// that is not there) leaves the old file byte for byte and no temporary
// file; pipes, sockets, devices and loops of links are refused at once with
// their own words; names of every kind round-trip; the save dialog asks
// about the name it will really write.
#include <QtTest>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <csignal>
#include <set>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/recent_files.h"
#include "app/russian.h"
#include "commands/command_table.h"
#include "dialogs.h"
#include "field_helpers.h"
#include "files/safe_files.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"

using namespace hexlife;
using namespace testing;

namespace {

std::string Slurp(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<missing>");
}

void Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Runs `body` in a child process and returns its exit code (77: skipped).
int InChild(const std::function<int()>& body)
{
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// A save that must fail: errno as expected, the old file as it was, and
// nothing else left in its folder. Run in the child; 0 when all holds.
int FailsCleanly(const std::string& path, int expectedError, bool existed)
{
    const std::string folder = path.substr(0, path.rfind('/'));
    const std::string before = existed ? Slurp(QString::fromStdString(path)) : "<missing>";
    const std::string text(200000, 'o');
    const files::SaveResult saved = files::SaveWhole(path, text);
    if (saved.ok) return 1;
    if (saved.failure.error != expectedError) return 2;
    if (Slurp(QString::fromStdString(path)) != before) return 3;
    if (QDir(QString::fromStdString(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size() !=
        (existed ? 1 : 0) + (QFile::exists(QString::fromStdString(folder) + "/filler") ? 1 : 0)) {
        return 4;
    }
    return files::Reason(saved.failure).empty() ? 5 : 0;
}

}  // namespace

class FilesTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseRussian(*qApp); }

    // A file-size limit, a full disk, a read-only folder and a missing one:
    // for an existing name and a new one, the save fails and changes nothing.
    void failedSavesChangeNothing()
    {
        for (const bool existed : {true, false}) {
            QTemporaryDir dir;
            const std::string path = dir.filePath("pattern.rle").toStdString();
            if (existed) Put(QString::fromStdString(path), "x = 1, y = 1, rule = B2/S2H\no!\n");

            QCOMPARE(InChild([&] {
                         std::signal(SIGXFSZ, SIG_IGN);
                         rlimit limit{4096, 4096};
                         setrlimit(RLIMIT_FSIZE, &limit);
                         return FailsCleanly(path, EFBIG, existed);
                     }),
                     0);

            // Read-only for whoever saves; root ignores modes, so the child
            // drops to nobody where it is root.
            QCOMPARE(InChild([&] {
                         chmod(dir.path().toUtf8().constData(), 0555);
                         if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) return 77;
                         return FailsCleanly(path, EACCES, existed);
                     }),
                     0);
            chmod(dir.path().toUtf8().constData(), 0700);

            QCOMPARE(files::SaveWhole(dir.filePath("no/such/x.rle").toStdString(), "o!").failure.error, ENOENT);

            // A full disk: a tiny tmpfs in a mount namespace of the child's.
            const int full = InChild([&] {
                if (unshare(CLONE_NEWNS) != 0) {
                    const uid_t uid = getuid();
                    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return 77;
                    Put("/proc/self/setgroups", "deny");
                    Put("/proc/self/uid_map", QByteArray::number(0) + " " + QByteArray::number(uid) + " 1");
                }
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
                const std::string folder = dir.path().toStdString();
                if (mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") != 0) return 77;
                if (existed) Put(QString::fromStdString(path), "x = 1, y = 1, rule = B2/S2H\no!\n");
                // Filled to the last block.
                QFile filler(QString::fromStdString(folder) + "/filler");
                filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
                const QByteArray block(4096, 'x');
                while (filler.write(block) == block.size()) {}
                filler.close();
                return FailsCleanly(path, ENOSPC, existed);
            });
            if (full == 77) {
                qInfo("no mount namespace here: the full-disk case was not run");
            } else {
                QCOMPARE(full, 0);
            }
        }
    }

    // A save that succeeds replaces the file whole, keeps its mode and a
    // link to it, and leaves no temporary file.
    void savesReplaceWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.rle");
        Put(path, "old");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QVERIFY(QFile::link(path, dir.filePath("link.rle")));
        QVERIFY(files::SaveWhole(dir.filePath("link.rle").toStdString(), "new text").ok);
        QCOMPARE(Slurp(path), std::string("new text"));
        QVERIFY(QFileInfo(dir.filePath("link.rle")).isSymLink());
        struct stat info {};
        QCOMPARE(stat(path.toUtf8().constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
        QCOMPARE(files::SaveWhole(dir.path().toStdString(), "x").failure.error, EISDIR);
    }

    // Pipes, sockets, devices, loops of links, folders: refused at once,
    // each with its own words; a pipe with no writer never blocks.
    void opensNeverBlock()
    {
        QTemporaryDir dir;
        const std::string fifo = dir.filePath("pipe.rle").toStdString();
        QCOMPARE(mkfifo(fifo.c_str(), 0600), 0);
        const std::string socketPath = dir.filePath("socket.rle").toStdString();
        const int s = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
        QCOMPARE(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        QVERIFY(QFile::link(dir.filePath("b"), dir.filePath("a")) && QFile::link(dir.filePath("a"), dir.filePath("b")));
        const struct {
            std::string path;
            const char* words;
        } cases[] = {
            {fifo, "именованный канал"},
            {socketPath, "сокет"},
            {"/dev/null", "устройство"},
            {dir.filePath("a").toStdString(), "петлю"},
            {dir.path().toStdString(), "папка"},
            {dir.filePath("none.rle").toStdString(), "нет"},
        };
        std::set<std::string> reasons;
        alarm(20);  // a blocked open fails the test instead of hanging it
        for (const auto& c : cases) {
            QElapsedTimer clock;
            clock.start();
            const files::ReadResult read = files::ReadWhole(c.path, 1000);
            QVERIFY(clock.elapsed() < 1000);
            const std::string reason = files::Reason(read.failure);
            QVERIFY2(!read.ok && reason.find(c.words) != std::string::npos, reason.c_str());
            reasons.insert(reason);
        }
        alarm(0);
        QCOMPARE(reasons.size(), std::size(cases));
        close(s);

        // Through the window: the message names the pipe, nothing changes.
        MainWindow w;
        QStringList seen = Dismissed([&] { QVERIFY(!w.Files->open(QString::fromStdString(fifo))); });
        QVERIFY(seen.size() == 1 && seen[0].contains("именованный канал"));
        QVERIFY(InState(w, State::Idle));
    }

    // Odd names: a file's own name goes into its #N line; control
    // characters become spaces, so every file reads back as the figure it
    // was. A name that is not UTF-8 opens by its bytes.
    void oddNamesRoundTrip()
    {
        QTemporaryDir dir;
        MainWindow w;
        w.Picture2_MouseUp(11, 1, 0, 0, 0);
        const PatternArray figure = w.PatternCells;
        const QString names[] = {"line\nbreak", "carriage\rreturn", "tab\there", "bang!", "hash#", "dollar$",
                                 "Ёлка и ёж", QString(240, QChar(u'ж')).left(120)};
        for (const QString& name : names) {
            const QString path = dir.filePath(name + ".rle");
            QVERIFY2(w.Files->save(path), qPrintable(name));
            const std::string text = Slurp(path);
            const std::string firstLine = text.substr(0, text.find('\n'));
            QCOMPARE(QString::fromStdString(firstLine), "#N " + QString(name).replace(QRegularExpression("[\\n\\r\\t]"), " "));
            w.Picture2_MouseUp(0, 1, 0, 0, 0);
            QVERIFY(w.Files->open(path));
            QCOMPARE(w.PatternCells, figure);
        }
        const std::string longName(300, 'n');
        const rle::ReadResult read = rle::ReadPattern(rle::WritePattern(figure, longName + "\n!$#"));
        QVERIFY(read.pattern && *read.pattern == figure);

        const QByteArray latin1 = QFile::encodeName(dir.path()) + "/\xe9t\xe9.rle";
        QFile raw(QString::fromUtf8(latin1));
        const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT, 0644);
        const std::string text = rle::WritePattern(figure, "x");
        QCOMPARE(::write(fd, text.data(), text.size()), ssize_t(text.size()));
        ::close(fd);
        w.Picture2_MouseUp(0, 1, 0, 0, 0);
        QVERIFY(w.Files->openBytes(latin1));
        QCOMPARE(w.PatternCells, figure);
        QStringList seen = Dismissed([&] { w.Files->openBytes(QFile::encodeName(dir.path()) + "/\xe9.rle"); });
        QVERIFY(seen.size() == 1 && seen[0].contains("не в кодировке UTF-8"));
    }

    // Typing «plain» where plain.rle exists: the dialog asks about
    // plain.rle, and «No» keeps it.
    void saveDialogAsksAboutTheRealName()
    {
        QTemporaryDir dir;
        const QString existing = dir.filePath("plain.rle");
        Put(existing, "keep me");
        MainWindow w;
        w.show();
        w.Picture2_MouseUp(4, 1, 0, 0, 0);
        QStringList questions;
        const QStringList seen = Dismissed([&] { w.Files->askSave(); }, [&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog != nullptr && !questions.isEmpty()) {
                dialog->reject();  // answered: the dialog stays, and is closed here
            } else if (dialog != nullptr) {
                dialog->setDirectory(dir.path());
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("plain");
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                questions << box->text();
                box->button(QMessageBox::No) != nullptr ? box->button(QMessageBox::No)->click() : box->reject();
            }
        });
        QVERIFY2(questions.size() == 1 && questions[0].contains("plain.rle"), qPrintable(seen.join(" | ")));
        QCOMPARE(Slurp(existing), std::string("keep me"));
    }

    // The menu's recent files: the last eight opened or saved, newest first,
    // each once however it was named, in every window; a pick opens its
    // file, and one that is gone leaves the list.
    void recentFilesAreTheLastEight()
    {
        QTemporaryDir dir;
        const QByteArray pattern = "x = 2, y = 1, rule = B2/S2H\n2o!\n";
        QStringList expected;
        {
            MainWindow w;
            for (int i = 0; i < 11; ++i) {
                const QString path = dir.filePath(QString("f%1.rle").arg(i));
                Put(path, pattern);
                // Opened by another name for the same file, the first again.
                QVERIFY(w.Files->open(i == 10 ? dir.path() + "/./f0.rle" : path));
            }
            QVERIFY(w.Files->save(dir.filePath("saved.rle")));
            QVERIFY(w.SaveFieldRleTo(dir.filePath("field.rle")));
            expected = QStringList{"field.rle", "saved.rle", "f0.rle", "f9.rle", "f8.rle", "f7.rle", "f6.rle", "f5.rle"};
        }
        MainWindow again;
        const int row = [&] {
            for (int r = 0; r < again.Commands->size(); ++r)
                if (again.Commands->command(r).entries) return r;
            return -1;
        }();
        QVERIFY(row >= 0);
        const auto entries = again.Commands->command(row).entries();
        QStringList shown;
        for (const auto& [text, call] : entries) shown << text.section(' ', 1);
        QCOMPARE(shown, expected);
        // A pick opens its file: into the editor, as the dialog would.
        QFile::remove(dir.filePath("f9.rle"));
        const int gone = int(expected.indexOf("f9.rle"));
        QVERIFY(Dismissed([&] { entries[size_t(gone)].second(); }).join("").contains("f9.rle"));
        QVERIFY(!RecentFiles().contains(dir.filePath("f9.rle")));
        again.Work->openEditor(PatternArray{});
        entries[size_t(expected.indexOf("f5.rle"))].second();
        QVERIFY(again.Files->hasPattern());
        QCOMPARE(QFileInfo(RecentFiles().first()).fileName(), QString("f5.rle"));
    }
};

QTEST_MAIN(FilesTest)
#include "test_files.moc"
