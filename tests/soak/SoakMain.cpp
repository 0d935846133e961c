// The board under load: real copies of Vurna3 on one share, driver members played through
// the program's own core, copies killed and started again; afterwards nothing may be lost,
// left behind or shown differently from the files.
//
// Environment: VURNA_SOAK_SECONDS (60), VURNA_SOAK_SEED (random; printed, to replay),
// VURNA_SOAK_COPIES (20), VURNA_SOAK_MEMBERS (20 driver members), VURNA_SOAK_RATE (operations
// per second of each of the two driver processes, 8), VURNA_SOAK_KEEP=1 keeps the folder,
// VURNA_SOAK_SHARE (a folder, e.g. on a mounted file server) holds the shared directory.

#include "SoakChecks.h"
#include "SoakCopy.h"
#include "SoakDriver.h"
#include "board/UserFile.h"
#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// The shortest full-reload period a site may set, and the one the soak's vurna.ini sets.
constexpr int FullReloadMinutes = 60;

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

void say(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

QByteArray copyKey(int i)
{
    return QByteArray("COPY") + QByteArray::number(i + 1).rightJustified(2, '0');
}
QByteArray driverKey(int i)
{
    return QByteArray("DRV") + QByteArray::number(i + 1).rightJustified(2, '0');
}
QByteArray copyAddress(int i)
{
    return "127.0.0." + QByteArray::number(11 + i);
}
QByteArray driverAddress(int i)
{
    return "127.0.1." + QByteArray::number(11 + i);
}

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.localPort();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void addMember(const QString& shareReal, const QByteArray& key, const QString& furigana, const QString& name)
{
    TVurnaDataRec record;
    record.Furigana = Cp932::fromUnicodeLossy(furigana);
    record.Name = Cp932::fromUnicodeLossy(name);
    record.Group = Cp932::fromUnicodeLossy(QStringLiteral("営業"));
    const QString base = shareReal + QString::fromLatin1(key.toLower());
    writeFile(base + QStringLiteral(".vrn"), BuildUserFileText(record));
    writeFile(base + QStringLiteral(".off"), {});
}

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArrayList split(const QString& list)
{
    return list.toLatin1().split(',');
}

// The driver in a second process: two programs adding memos to one ".mil" at once, and one
// taking memos in while the other adds, is what the memo guard is for.
int runDriverProcess(const QStringList& args)
{
    // --driver SHAREDIR SEED SECONDS RATE TAG JOURNAL KEYS ADDRESSES EVERYBODY
    if (args.size() != 11)
        return 2;
    DriverPlan plan;
    plan.shareDir = args[2].toLatin1();
    plan.seed = args[3].toULongLong();
    plan.seconds = args[4].toInt();
    plan.opsPerSecond = args[5].toInt();
    plan.memoTag = args[6].toLatin1();
    plan.keys = split(args[8]);
    plan.addresses = split(args[9]);
    plan.everybody = split(args[10]);
    SoakDriver driver(plan);
    QString error;
    if (!driver.Begin(error)) {
        say(QStringLiteral("driver failed: ") + error);
        return 1;
    }
    while (driver.Step()) {
    }
    QFile journal(args[7]);
    if (!journal.open(QIODevice::WriteOnly))
        return 1;
    journal.write(driver.Journal().join(QLatin1Char('\n')).toUtf8() + '\n');
    return 0;
}

// Copies killed or ended and started again while the drivers work.
class Chaos
{
public:
    Chaos(std::vector<std::unique_ptr<SoakCopy>>& copies, QRandomGenerator& random, int gapMs)
        : m_copies(copies), m_random(random), m_gapMs(gapMs)
    {
        m_clock.start();
        m_next = m_gapMs;
    }

    void Step()
    {
        const qint64 now = m_clock.elapsed();
        for (auto it = m_restarts.begin(); it != m_restarts.end();) {
            if (now >= it.value() && !m_copies[it.key()]->isRunning()) {
                m_copies[it.key()]->start();
                ++restarts;
                it = m_restarts.erase(it);
            } else {
                ++it;
            }
        }
        if (now < m_next || m_restarts.size() >= 3)
            return;
        m_next = now + m_gapMs / 2 + m_random.bounded(m_gapMs + 1);
        const int index = m_random.bounded(int(m_copies.size()));
        if (!m_copies[index]->isRunning() || m_restarts.contains(index))
            return;
        const bool kill = m_random.bounded(4) != 0;
        m_copies[index]->end(kill ? SIGKILL : SIGTERM);
        ++(kill ? kills : terms);
        m_restarts.insert(index, now + 1000 + m_random.bounded(5000));
    }

    // The copies ended and not yet started again.
    QList<int> Pending() const { return m_restarts.keys(); }

    int kills = 0;
    int terms = 0;
    int restarts = 0;

private:
    std::vector<std::unique_ptr<SoakCopy>>& m_copies;
    QRandomGenerator& m_random;
    int m_gapMs;
    QElapsedTimer m_clock;
    qint64 m_next = 0;
    QMap<int, qint64> m_restarts;
};

// Dumps every running copy's board and compares it with the files. Copies that do not answer
// are hung; they go to `failures`, disagreements to the result.
QStringList compareBoards(const std::vector<std::unique_ptr<SoakCopy>>& copies, const QString& shareReal,
                          QStringList& failures)
{
    QStringList wrong;
    for (const auto& copy : copies) {
        QStringList lines;
        if (!copy->dump(5000, lines)) {
            failures.append(copy->key() + QStringLiteral(": no answer to SIGUSR2 within 5 s (hung?)"));
            continue;
        }
        wrong += SoakChecks::BoardAgrees(shareReal, copy->key(), lines);
    }
    return wrong;
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir root(QDir::tempPath() + QStringLiteral("/vurna-soak-XXXXXX"));
    // The driver's own local settings must not be the user's.
    if (!qEnvironmentVariableIsSet("VURNA_SOAK_DRIVER"))
        qputenv("XDG_CONFIG_HOME", (root.path() + QStringLiteral("/driver-config")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && args[1] == QStringLiteral("--driver"))
        return runDriverProcess(args);
    if (args.size() != 2) {
        say(QStringLiteral("usage: vurna_soak PATH-TO-Vurna3"));
        return 2;
    }

    const int seconds = envInt("VURNA_SOAK_SECONDS", 60);
    const int copyCount = qBound(1, envInt("VURNA_SOAK_COPIES", 20), 200);
    const int driverCount = qBound(2, envInt("VURNA_SOAK_MEMBERS", 20), 200);
    const int rate = qMax(1, envInt("VURNA_SOAK_RATE", 8));
    const quint64 seed = qEnvironmentVariableIsSet("VURNA_SOAK_SEED") ? qgetenv("VURNA_SOAK_SEED").toULongLong()
                                                                      : QRandomGenerator::system()->generate64() >> 16;
    say(QStringLiteral("soak: seed %1 (VURNA_SOAK_SEED=%1 replays), %2 s, %3 copies, %4 driver members, folder %5")
            .arg(seed)
            .arg(seconds)
            .arg(copyCount)
            .arg(driverCount)
            .arg(root.path()));
    QRandomGenerator random(quint32(seed ^ (seed >> 32)));
    QElapsedTimer wall;
    wall.start();

    // VURNA_SOAK_SHARE: a folder on a file server's share (a mount) to hold the shared directory;
    // the copies' profiles, logs and the journals stay in the local folder.
    std::unique_ptr<QTemporaryDir> served;
    if (qEnvironmentVariableIsSet("VURNA_SOAK_SHARE"))
        served = std::make_unique<QTemporaryDir>(qEnvironmentVariable("VURNA_SOAK_SHARE") +
                                                 QStringLiteral("/vurna-soak-XXXXXX"));
    const QString shareReal = (served ? served->path() : root.path()) + QStringLiteral("/share/");
    QDir().mkpath(shareReal);
    const QByteArray shareDir = SjisText::upperCase(Cp932::fromUnicodeLossy(shareReal));
    writeFile(shareReal + QStringLiteral("vurna.ini"),
              Cp932::fromUnicodeLossy(QStringLiteral("UDPMESSAGE SEND=IPDIRECT PORT=%1\r\n"
                                                     "INTERVAL RELOADALLFILE=60\r\nINTERVAL RELOADLASTCOMMIT=5\r\n"
                                                     "INTERVAL DENGONCHECK=1\r\n"
                                                     "CUSTOMICON NAME=出張 YELLOWICON=trip1.bmp REDICON=trip2.bmp\r\n")
                                          .arg(freePort())));
    QByteArrayList everybody;
    for (int i = 0; i < copyCount; ++i) {
        addMember(shareReal, copyKey(i), QStringLiteral("ｺﾋﾟｰ%1").arg(i + 1), QStringLiteral("写 %1号").arg(i + 1));
        everybody.append(copyKey(i));
    }
    for (int i = 0; i < driverCount; ++i) {
        addMember(shareReal, driverKey(i), QStringLiteral("ﾄﾞﾗｲﾊﾞ%1").arg(i + 1), QStringLiteral("駆 %1号").arg(i + 1));
        everybody.append(driverKey(i));
    }

    QStringList failures;
    std::vector<std::unique_ptr<SoakCopy>> copies;
    for (int i = 0; i < copyCount; ++i) {
        copies.push_back(std::make_unique<SoakCopy>(args[1], root.path() + QStringLiteral("/copies"), shareReal,
                                                    QString::fromLatin1(copyKey(i).toLower()),
                                                    QStringLiteral("写 %1号").arg(i + 1), copyAddress(i)));
        copies.back()->start();
    }
    for (const auto& copy : copies) {
        if (!copy->waitStarted(120000))
            failures.append(copy->key() + QStringLiteral(": no start-up within 120 s; log ") + copy->logPath());
    }
    say(QStringLiteral("soak: %1 copies up after %2 ms").arg(copyCount).arg(wall.elapsed()));

    // Two driver processes: this one and a second.
    const QStringList tags = {QStringLiteral("SOAK%1A").arg(seed, 0, 16), QStringLiteral("SOAK%1B").arg(seed, 0, 16)};
    QByteArrayList keys[2], addresses[2];
    for (int i = 0; i < driverCount; ++i) {
        keys[i % 2].append(driverKey(i));
        addresses[i % 2].append(driverAddress(i));
    }
    const QString secondJournal = root.path() + QStringLiteral("/driver-b.journal");
    QProcess second;
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.setStandardOutputFile(root.path() + QStringLiteral("/driver-b.log"));
    QProcessEnvironment secondEnv = QProcessEnvironment::systemEnvironment();
    secondEnv.insert(QStringLiteral("VURNA_SOAK_DRIVER"), QStringLiteral("1"));
    second.setProcessEnvironment(secondEnv);
    second.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--driver"), QString::fromLatin1(shareDir), QString::number(seed + 1),
                  QString::number(seconds), QString::number(rate), tags[1], secondJournal,
                  QString::fromLatin1(keys[1].join(',')), QString::fromLatin1(addresses[1].join(',')),
                  QString::fromLatin1(everybody.join(','))});

    DriverPlan plan{shareDir, keys[0], addresses[0], everybody, seed, seconds, rate, tags[0].toLatin1()};
    SoakDriver driver(plan);
    QString error;
    if (!driver.Begin(error)) {
        say(QStringLiteral("soak: driver failed: ") + error);
        return 1;
    }
    Chaos chaos(copies, random, qMax(500, envInt("VURNA_SOAK_CHAOS_MS", 5000)));
    while (driver.Step())
        chaos.Step();
    const qint64 loadMs = wall.elapsed();
    // The second driver may have ended while this one still worked: waiting on a process that has
    // finished reports false.
    if (second.state() != QProcess::NotRunning)
        second.waitForFinished(120000);
    if (second.state() != QProcess::NotRunning || second.exitStatus() != QProcess::NormalExit || second.exitCode() != 0)
        failures.append(QStringLiteral("second driver failed (exit %1); see driver-b.log").arg(second.exitCode()));
    QStringList journal = driver.Journal() + readLines(secondJournal);

    // A copy ended just before the load stopped may still be on its way out (on a file server
    // that takes seconds): it has to be gone before the loop below can tell it from a running one.
    for (int index : chaos.Pending())
        copies[size_t(index)]->waitEnded(30000);
    // Every copy running again, then time for the last datagrams.
    // One by one: copies starting at the same moment may not hear of each other (see the
    // figures before the tick), which belongs to the load, not to the way back.
    for (const auto& copy : copies) {
        if (!copy->isRunning() && copy->waitEnded(30000)) {
            copy->start();
            copy->waitStarted(120000);
        }
    }
    for (const auto& copy : copies) {
        if (!copy->waitStarted(120000))
            failures.append(copy->key() + QStringLiteral(": no start-up after the run; log ") + copy->logPath());
    }
    RunEventsFor(3000);
    const QStringList before = compareBoards(copies, shareReal, failures);
    // Whatever datagrams were missed, the periodic full reload must mend: each copy gets an
    // hour of minute ticks now.
    std::vector<qint64> marks;
    for (const auto& copy : copies)
        marks.push_back(copy->logMark());
    const QString tickLine = QStringLiteral("minute tick asked for");
    for (int round = 0; round < 150; ++round) {
        bool allTicked = true;
        for (size_t i = 0; i < copies.size(); ++i) {
            if (copies[i]->countSince(marks[i], tickLine) < FullReloadMinutes) {
                allTicked = false;
                copies[i]->signal(SIGUSR1);
            }
        }
        if (allTicked)
            break;
        RunEventsFor(100);
    }
    RunEventsFor(3000);
    const QStringList after = compareBoards(copies, shareReal, failures);
    failures += after;

    for (const auto& copy : copies)
        copy->end(SIGTERM);
    for (const auto& copy : copies) {
        if (!copy->waitEnded(30000))
            failures.append(copy->key() + QStringLiteral(": did not end within 30 s of SIGTERM"));
    }
    RunEventsFor(200);
    int boxes = 0;
    for (const auto& copy : copies) {
        failures += copy->failures();
        const QStringList shown = readLines(copy->messageLogPath());
        boxes += int(shown.size());
        for (const QString& box : shown)
            say(copy->key() + QStringLiteral(": message box: ") + box);
    }
    failures += SoakChecks::StatusFilesParse(shareReal);
    failures += SoakChecks::MemosStandOnce(shareReal, journal, tags);
    failures += SoakChecks::NoStrayFiles(shareReal);
    failures += SoakChecks::DriverStatesKept(shareReal, journal);

    qint64 memos = 0, refused = 0;
    QMap<QString, qint64> counts;
    for (const QString& line : journal) {
        memos += line.startsWith(QStringLiteral("memo ")) ? 1 : 0;
        refused += line.startsWith(QStringLiteral("refused ")) ? 1 : 0;
        if (line.startsWith(QStringLiteral("count ")))
            counts[line.section(u' ', 1, 1)] += line.section(u' ', 2, 2).toLongLong();
    }
    qint64 operations = 0;
    QStringList countText;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.key() != QStringLiteral("faults") && it.key() != QStringLiteral("reload-failed"))
            operations += it.value();
        countText.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()));
    }
    for (const QString& line : before)
        say(QStringLiteral("before the tick: ") + line);
    say(QStringLiteral("soak: %1 copies + %2 driver members, %3 s of load, %4 operations (%5/min): %6; "
                       "copies killed %7, ended %8, restarted %9")
            .arg(copyCount)
            .arg(driverCount)
            .arg(loadMs / 1000)
            .arg(operations)
            .arg(operations * 60000 / qMax<qint64>(1, loadMs))
            .arg(countText.join(QStringLiteral(", ")))
            .arg(chaos.kills)
            .arg(chaos.terms)
            .arg(chaos.restarts));
    say(QStringLiteral("soak: memos stored %1, refused %2; boards disagreeing before the tick %3, after %4; "
                       "message boxes %5; wall time %6 s")
            .arg(memos)
            .arg(refused)
            .arg(before.size())
            .arg(after.size())
            .arg(boxes)
            .arg(wall.elapsed() / 1000));
    for (const QString& failure : failures)
        say(QStringLiteral("FAIL: ") + failure);
    const bool keep = !failures.isEmpty() || qEnvironmentVariableIntValue("VURNA_SOAK_KEEP") == 1;
    root.setAutoRemove(!keep);
    if (served)
        served->setAutoRemove(!keep);
    if (keep)
        say(QStringLiteral("soak: folder kept: ") + root.path() +
            (served ? QStringLiteral(", share ") + shareReal : QString()));
    say(failures.isEmpty() ? QStringLiteral("soak: passed") : QStringLiteral("soak: FAILED (%1)").arg(failures.size()));
    return failures.isEmpty() ? 0 : 1;
}
