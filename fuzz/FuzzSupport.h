#pragma once

#include "platform/Cp932.h"
#include "platform/SjisText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace fuzz {

// Qt wants an application object for its file and settings classes; one for the whole run.
// The program's diagnostics are formatted as usual (that is code under test too) but not
// printed: at hundreds of thousands of inputs a second they would drown libFuzzer's report.
inline void startQt()
{
    static int argc = 1;
    static char name[] = "vurna-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = nullptr;
    if (app)
        return;
    app = new QCoreApplication(argc, argv);
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) {
            fprintf(stderr, "qFatal: %s\n", qPrintable(text));
            abort();
        }
    });
}

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A shared directory in a temporary folder, made once per run. Paths go to the code in the
// in-memory form the program uses: upper-cased CP932 with a trailing separator.
class Share
{
public:
    Share() : m_real(m_dir.path() + QStringLiteral("/share/")) { QDir().mkpath(m_real); }
    QByteArray dataSource() const { return SjisText::upperCase(Cp932::fromUnicodeLossy(m_real)); }
    QString realPath() const { return m_real; }
    QString tempRoot() const { return m_dir.path(); }
    void write(const QString& name, const QByteArray& text) const
    {
        QFile f(m_real + name);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(text) != text.size())
            abort(); // the harness itself is broken: nothing found from here on would mean anything
    }
    void remove(const QString& name) const { QFile::remove(m_real + name); }

private:
    QTemporaryDir m_dir;
    QString m_real;
};

// Local settings in a folder of the run, so a fuzzed share move never touches the user's own.
inline void privateSettings(const Share& share)
{
    const QString dir = share.tempRoot() + QStringLiteral("/config");
    QDir().mkpath(dir);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir);
}

// Splits an input into two texts at its first zero byte (none: all of it is the first).
inline std::pair<QByteArray, QByteArray> splitAtZero(const QByteArray& input)
{
    const qsizetype at = input.indexOf('\0');
    if (at < 0)
        return {input, {}};
    return {input.left(at), input.mid(at + 1)};
}

// A fault the fuzzer should keep: a broken promise of the code, not a crash.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                                   \
            abort();                                                                                                   \
        }                                                                                                              \
    } while (0)

} // namespace fuzz
