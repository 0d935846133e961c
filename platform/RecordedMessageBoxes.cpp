#include "platform/RecordedMessageBoxes.h"

#include <QFile>

RecordedMessageBoxes::RecordedMessageBoxes(QString logPath, const QStringList& answers) : m_logPath(std::move(logPath))
{
    for (const QString& word : answers) {
        const QString answer = word.trimmed().toLower();
        if (answer == QLatin1String("ok"))
            m_answers.setNextAnswer(Mb::IdOk);
        else if (answer == QLatin1String("cancel"))
            m_answers.setNextAnswer(Mb::IdCancel);
        else if (answer == QLatin1String("yes"))
            m_answers.setNextAnswer(Mb::IdYes);
        else if (answer == QLatin1String("no"))
            m_answers.setNextAnswer(Mb::IdNo);
    }
}

std::unique_ptr<RecordedMessageBoxes> RecordedMessageBoxes::FromEnvironment()
{
    const QString log = qEnvironmentVariable("VURNA_MESSAGE_LOG");
    if (log.isEmpty())
        return nullptr;
    return std::make_unique<RecordedMessageBoxes>(
        log, qEnvironmentVariable("VURNA_MESSAGE_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts));
}

int RecordedMessageBoxes::show(const QString& text, int flags, const QString& caption)
{
    QString flat = text;
    flat.replace(QStringLiteral("\r\n"), QStringLiteral("\\n")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    QFile file(m_logPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        file.write((caption + QLatin1Char('\t') + QString::number(flags) + QLatin1Char('\t') + flat + QLatin1Char('\n'))
                       .toUtf8());
        file.close();
    }
    return m_answers.show(text, flags, caption);
}
