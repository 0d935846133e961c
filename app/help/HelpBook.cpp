#include "app/help/HelpBook.h"

#include "forms/HelpContext.h"
#include "platform/Cp932.h"
#include "platform/FileText.h"
#include "platform/SharePath.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>

#include <utility>

// Resources of a static library must be registered by name, outside any namespace.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace {

struct BuiltInPage
{
    int context;
    const char* file;
};

// The contents first: it is what an unknown number opens.
constexpr BuiltInPage Pages[] = {
    {HelpTopic::Contents, "contents.html"},
    {HelpTopic::Menus, "menus.html"},
    {HelpTopic::Board, "board.html"},
    {HelpTopic::MemoBoard, "memo.html"},
    {HelpTopic::Preferences, "preferences.html"},
    {HelpTopic::CustomGroup, "customgroup.html"},
    {HelpTopic::Details, "details.html"},
    {HelpTopic::Absence, "absence.html"},
    {HelpTopic::MemoCheck, "memocheck.html"},
    {HelpTopic::Send, "send.html"},
};

const QString HelpFolder = QStringLiteral("/help/");

// The site's page, by the names an administrator may give it, the first found winning.
const QByteArray SiteFileNames[] = {"Vurnaboard.html", "Vurnaboard.htm"};

} // namespace

HelpBook::HelpBook(QByteArray shareDir) : m_shareDir(std::move(shareDir))
{
    static const bool registered = (initHelpResources(), true);
    Q_UNUSED(registered);
}

QList<int> HelpBook::Topics()
{
    QList<int> topics;
    for (const BuiltInPage& page : Pages)
        topics.append(page.context);
    return topics;
}

QUrl HelpBook::BuiltInUrl(int context)
{
    const char* file = Pages[0].file;
    for (const BuiltInPage& page : Pages) {
        if (page.context == context)
            file = page.file;
    }
    return QUrl(QStringLiteral("qrc:") + HelpFolder + QLatin1String(file));
}

int HelpBook::TopicOfUrl(const QUrl& url)
{
    if (url.scheme() != QLatin1String("qrc") || !url.host().isEmpty())
        return 0;
    for (const BuiltInPage& page : Pages) {
        if (url.path() == HelpFolder + QLatin1String(page.file))
            return page.context;
    }
    return 0;
}

QString HelpBook::BuiltInText(const QUrl& url)
{
    if (TopicOfUrl(url) == 0)
        return {};
    QFile file(QLatin1Char(':') + url.path());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

HelpBook::SiteHelp HelpBook::ReadSiteHelp() const
{
    SiteHelp help;
    if (m_shareDir.isEmpty())
        return help;
    for (const QByteArray& name : SiteFileNames) {
        const QByteArray path = SharePath::join(m_shareDir, name);
        const QFileInfo info(SharePath::resolve(path));
        // A link could show the reader a file of their own PC as the site's help.
        if (!info.exists() && !info.isSymLink())
            continue;
        help.fileName = info.fileName();
        const QString shown = QStringLiteral("「%1」").arg(help.fileName.toHtmlEscaped());
        if (info.isSymLink() || !info.isFile()) {
            help.state = SiteHelp::State::Unreadable;
            help.note = QStringLiteral("この掲示板のヘルプ%1は通常のファイルではないため、表示できません。").arg(shown);
            return help;
        }
        if (info.size() > SiteFileLimit) {
            help.state = SiteHelp::State::TooLarge;
            help.note = QStringLiteral("この掲示板のヘルプ%1は大きすぎるため（%2 KBを超えています）、表示できません。")
                            .arg(shown)
                            .arg(SiteFileLimit / 1024);
            return help;
        }
        RetryPolicy policy;
        policy.maxBytes = SiteFileLimit;
        bool ok = true;
        const QByteArray bytes = ReadFileTextChecked(path, policy, &ok);
        if (!ok) {
            help.state = SiteHelp::State::Unreadable;
            help.note = QStringLiteral("この掲示板のヘルプ%1を読み込めませんでした。").arg(shown);
            return help;
        }
        help.state = SiteHelp::State::Shown;
        help.html = DecodeSiteText(bytes);
        return help;
    }
    return help;
}

QString HelpBook::DecodeSiteText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return Cp932::toUnicode(bytes);
    // The decoder keeps a byte order mark, which would stand as the page's first character.
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString HelpBook::SiteAnchor(int context)
{
    return QStringLiteral("ctx") + QString::number(context);
}

bool HelpBook::HasAnchor(const QString& html, const QString& name)
{
    const QString quoted = QRegularExpression::escape(name);
    // The attribute name in any case, the value exactly: the browser compares anchors as written.
    const QRegularExpression anchor(
        QStringLiteral("[\\s<](?i:name|id)\\s*=\\s*(?:\"%1\"|'%1'|%1(?=[\\s/>]))").arg(quoted));
    return anchor.match(html).hasMatch();
}
