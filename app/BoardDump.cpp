#include "app/BoardDump.h"

#include "board/StatusText.h"
#include "board/ui/TVurnaGrid.h"
#include "platform/Clock.h"
#include "platform/Cp932.h"
#include "platform/LogCategories.h"
#include "platform/SjisText.h"

namespace BoardDump {

QString EscapeField(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QStringLiteral("\\\\");
            break;
        case '\t':
            escaped += QStringLiteral("\\t");
            break;
        case '\r':
            escaped += QStringLiteral("\\r");
            break;
        case '\n':
            escaped += QStringLiteral("\\n");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString UnescapeField(const QString& text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += text.at(i);
            continue;
        }
        const QChar next = text.at(++i);
        plain += next == QLatin1Char('t')   ? QChar('\t')
                 : next == QLatin1Char('r') ? QChar('\r')
                 : next == QLatin1Char('n') ? QChar('\n')
                                            : next;
    }
    return plain;
}

QStringList Lines(const TVurnaGrid& grid, const Clock& clock, int serial)
{
    // The cells, not the model: what the user sees is what a copy is judged by.
    const TVurnaData2Array& cells = grid.Cells();
    const QDateTime now = clock.now();
    QStringList members;
    for (int row = 0; row < cells.RowCount(); ++row) {
        for (int col = 0; col < cells.ColCount(); ++col) {
            if (cells.IsEmptyCell(col, row))
                continue;
            const TVurnaDataRec& member = cells.At(col, row);
            QByteArray returnText;
            int code = 0;
            GetStatusText(member, now, returnText, code);
            const auto field = [](const QByteArray& bytes) { return EscapeField(Cp932::toUnicode(bytes)); };
            members.append(QStringLiteral("board dump member %1\t%2\t%3\t%4\t%5\t%6\t%7\t%8\t%9\t%10")
                               .arg(serial)
                               .arg(field(SjisText::fileNamePart(member.FileName)))
                               .arg(code)
                               .arg(member.Running ? 1 : 0)
                               .arg(member.StatusIndex)
                               .arg(field(member.Date), field(member.Time), field(member.Name), field(member.Locate),
                                    field(returnText)));
        }
    }
    QStringList lines;
    lines.append(QStringLiteral("board dump begin %1 shown=%2").arg(serial).arg(members.size()));
    lines += members;
    lines.append(QStringLiteral("board dump end %1").arg(serial));
    return lines;
}

void Write(const TVurnaGrid& grid, const Clock& clock, int serial)
{
    for (const QString& line : Lines(grid, clock, serial))
        qCInfo(lcBoard).noquote() << line;
}

} // namespace BoardDump
