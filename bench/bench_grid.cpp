// The board grid at growing board sizes: Arrange (filters off, and group plus status filter
// on, which computes every member's display status) and the painting of one screen of cells
// into an image, at the top and in the middle of the board. Prints medians.
//
//   build/bench/bench_grid [members...]      (default: 100 2000 10000)

#include "BenchFiles.h"
#include "board/Arrangement.h"
#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QDate kToday(2024, 4, 1);

QByteArray memberText(int i)
{
    static const char* const readings[] = {"ｱﾍﾞ", "ｲﾄｳ", "ｳｴﾀﾞ", "ｶﾄｳ", "ｶﾞﾓｳ", "ｻﾄｳ", "ﾀﾅｶ", "ﾔﾏﾀﾞ"};
    const QByteArray n = QByteArray::number(i);
    const QByteArray reading = Cp932::fromUnicodeLossy(QString::fromUtf8(readings[i % 8])) + n;
    const QByteArray name =
        Cp932::fromUnicodeLossy(i % 5 == 0 ? QStringLiteral("木村左衛門太郎") : QStringLiteral("山田"));
    const QByteArray group = Cp932::fromUnicodeLossy(QStringLiteral("営業第%1課").arg(i % 7));
    const bool away = i % 3 == 0;
    const QByteArray locate = away ? Cp932::fromUnicodeLossy(QStringLiteral("大阪支店\r\n打ち合わせ")) : QByteArray();
    const QByteArray date = away ? kToday.addDays(i % 4 - 1).toString(QStringLiteral("yyyy/MM/dd")).toLatin1() : "";
    const QList<QByteArray> values{
        reading, name, group, "1" + n, locate, date, away ? "17:00" : "", "", "", QByteArray::number(i % 2), "0", ""};
    return BenchFiles::QuotedLines(values);
}

QByteArray buildShare(const QString& dir, int members)
{
    QDir().mkpath(dir);
    for (int i = 0; i < members; ++i) {
        const QString base = dir + QStringLiteral("/member%1").arg(i, 5, 10, QLatin1Char('0'));
        QFile f(base + QStringLiteral(".vrn"));
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(memberText(i));
        if (i % 4 == 0) {
            QFile off(base + QStringLiteral(".off"));
            off.open(QIODevice::WriteOnly);
        }
    }
    return Cp932::fromUnicodeLossy(dir + QLatin1Char('/')).toUpper();
}

double medianMs(int runs, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toInt());
    if (sizes.isEmpty())
        sizes = {100, 2000, 10000};

    FixedClock clock(QDateTime(kToday, QTime(10, 0)));
    std::printf("%8s %14s %16s %14s %14s %14s\n", "members", "Arrange ms", "Arrange+filt ms", "grid.Arrange",
                "paint top ms", "paint mid ms");
    for (int members : sizes) {
        QTemporaryDir tmp;
        const QByteArray share = buildShare(tmp.path() + QStringLiteral("/share"), members);
        BoardModel model;
        TVurnaGrid grid(model, clock);
        grid.resize(564, 257);
        model.SetDataSource(share);
        model.Reload(AllMembers);

        ArrangeFilter off;
        ArrangeFilter on;
        on.GroupFilterOn = true;
        for (int g = 0; g < 7; g += 2)
            on.GroupFilter.append(Cp932::fromUnicodeLossy(QStringLiteral("営業第%1課").arg(g)));
        on.CustomGrpMember = ",MEMBER00001,MEMBER00003,";
        on.StatusFilterOn = true;
        on.StatusFilter = {",0,", ",1,", ",2,", ",3,", ",4,", ",5,"};
        TVurnaData2Array cells;
        const TVurnaDataArray& array = model.Members();
        const QDateTime now = clock.now();
        const double arrangeOff = medianMs(21, [&] { Arrangement::Arrange(array, off, now, cells); });
        const double arrangeOn = medianMs(21, [&] { Arrangement::Arrange(array, on, now, cells); });
        const double gridArrange = medianMs(21, [&] { grid.Arrange(); });

        QImage image(grid.size(), QImage::Format_ARGB32_Premultiplied);
        grid.SelectAll();
        const auto paint = [&] {
            QPainter painter(&image);
            grid.render(&painter);
        };
        // Glyph caches and the like fill during the first paints of the process; measure after.
        grid.SetCurrent(0, 0);
        for (int i = 0; i < 200; ++i)
            paint();
        const double paintTop = medianMs(51, paint);
        grid.SetCurrent(0, grid.RowCount() / 2);
        const double paintMid = medianMs(51, paint);
        std::printf("%8d %14.3f %16.3f %14.3f %14.3f %14.3f\n", members, arrangeOff, arrangeOn, gridArrange, paintTop,
                    paintMid);
    }
    return 0;
}
