#include "app/help/HelpWindow.h"

#include "forms/DialogFont.h"
#include "forms/HelpContext.h"
#include "platform/ParallelWork.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

const QString BuiltInCaption = QStringLiteral("Vurnaboard - ヘルプ -");
const QString SiteCaption = QStringLiteral("Vurnaboard - ヘルプ（サイト） -");

// A browser that loads only what its window allows. Whatever it refuses comes back as empty
// data, never as nothing: the document would otherwise read the address from disk itself.
class HelpBrowser final : public QTextBrowser
{
public:
    using Gate = std::function<QVariant(int type, const QUrl& url)>;

    HelpBrowser(Gate gate, QWidget* parent) : QTextBrowser(parent), m_gate(std::move(gate)) {}

    QVariant loadResource(int type, const QUrl& name) override { return m_gate(type, name); }

private:
    Gate m_gate;
};

bool SameDocument(const QUrl& a, const QUrl& b)
{
    return a.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments) ==
           b.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments);
}

// The note on why the site's page is not shown, at the top of the page's body.
QString WithNote(const QString& html, const QString& note)
{
    if (note.isEmpty())
        return html;
    const QString box = QStringLiteral("<table width=\"100%\" cellpadding=\"6\" bgcolor=\"#fff2c0\" border=\"1\">"
                                       "<tr><td>%1</td></tr></table>")
                            .arg(note);
    const qsizetype body = html.indexOf(QLatin1String("<body"), 0, Qt::CaseInsensitive);
    const qsizetype at = body < 0 ? -1 : html.indexOf(QLatin1Char('>'), body);
    QString text = html;
    return at < 0 ? text.prepend(box) : text.insert(at + 1, box);
}

} // namespace

HelpWindow::HelpWindow(HelpBook book, QWidget* parent) : QDialog(parent), m_book(std::move(book))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(BuiltInCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    setFont(DialogFont());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    auto* buttons = new QHBoxLayout;
    const auto button = [this, buttons](const char* name, const QString& caption, const QString& hint) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(hint);
        b->setAutoDefault(false);
        b->setMinimumWidth(80);
        buttons->addWidget(b);
        return b;
    };
    m_btnBack = button("btnHelpBack", QStringLiteral("◀ 戻る"), QStringLiteral("前に見ていたページに戻ります。"));
    m_btnForward = button("btnHelpForward", QStringLiteral("進む ▶"), QStringLiteral("戻る前のページに進みます。"));
    m_btnContents = button("btnHelpContents", QStringLiteral("目次"), QStringLiteral("ヘルプの目次を表示します。"));
    buttons->addStretch(1);
    layout->addLayout(buttons);

    m_browser = new HelpBrowser([this](int type, const QUrl& url) { return Resource(type, url); }, this);
    m_browser->setObjectName(QStringLiteral("brwHelp"));
    m_browser->setFont(DialogFont(14));
    // Links are followed here, by the window's rules, never by the browser or the desktop.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    layout->addWidget(m_browser, 1);

    m_btnBack->setEnabled(false);
    m_btnForward->setEnabled(false);
    connect(m_btnBack, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_btnForward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_btnContents, &QPushButton::clicked, this, [this] { Navigate(HelpTopic::Contents); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_btnBack, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_btnForward, &QPushButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::LinkClicked);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::SourceChanged);
    resize(680, 560);
}

HelpWindow* HelpWindow::Open(const HelpBook& book, int context, QWidget* owner)
{
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* host = modal && !qobject_cast<HelpWindow*>(modal) ? modal : owner;
    HelpWindow* window = host ? host->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (window) {
        window->SetBook(book);
    } else {
        window = new HelpWindow(book, host);
        // A window of a dialog goes with the dialog; one without any owner goes when closed.
        if (!host)
            window->setAttribute(Qt::WA_DeleteOnClose);
    }
    window->ShowTopic(context);
    return window;
}

void HelpWindow::ShowTopic(int context)
{
    // The site's page is on the share: the window keeps answering while the server does.
    HelpBook::SiteHelp site;
    // Its own copy of the book: a help key pressed meanwhile may give the window another.
    ParallelWork::RunWhileEventsFlow([&site, book = m_book] { site = book.ReadSiteHelp(); });
    const bool siteShown = site.state == HelpBook::SiteHelp::State::Shown;
    if (siteShown && (!m_siteShown || site.html != m_siteHtml))
        ++m_generation;
    m_siteShown = siteShown;
    m_siteHtml = siteShown ? site.html : QString();
    const QString note = site.note.isEmpty()
                             ? QString()
                             : site.note + QStringLiteral("<br>代わりに、プログラムに付属のヘルプを表示しています。"
                                                          "Vurnaの管理者に連絡して下さい。");
    const bool noteChanged = note != m_note;
    m_note = note;

    const QUrl before = m_browser->source();
    Navigate(context);
    // The page on show was read with the old note; the browser reads a page only when it changes.
    if (noteChanged && SameDocument(before, m_browser->source()))
        m_browser->reload();

    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    // (The offscreen platform has no window stacking and says so on every call.)
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        raise();
        activateWindow();
    }
}

bool HelpWindow::ShowsSiteHelp() const
{
    return m_browser->source().scheme() == SiteScheme();
}

QUrl HelpWindow::CurrentSource() const
{
    return m_browser->source();
}

QUrl HelpWindow::SiteUrl() const
{
    return QUrl(SiteScheme() + QStringLiteral(":/%1/Vurnaboard.html").arg(m_generation));
}

void HelpWindow::Navigate(int context)
{
    m_topic = context;
    QUrl target = HelpBook::BuiltInUrl(context);
    if (m_siteShown) {
        target = SiteUrl();
        const QString anchor = HelpBook::SiteAnchor(context);
        if (HelpBook::HasAnchor(m_siteHtml, anchor))
            target.setFragment(anchor);
    }
    m_browser->setSource(target, QTextDocument::HtmlResource);
}

void HelpWindow::LinkClicked(const QUrl& url)
{
    // Built-in pages, and places inside the page on show. Anything else, however it is written,
    // leads nowhere: the site page is anybody's text.
    const bool builtIn = HelpBook::TopicOfUrl(url) != 0;
    const bool inPage = url.hasFragment() && SameDocument(url, m_browser->source());
    if (builtIn || inPage)
        m_browser->setSource(url, QTextDocument::HtmlResource);
}

void HelpWindow::SourceChanged(const QUrl& url)
{
    const bool site = url.scheme() == SiteScheme();
    setWindowTitle(site ? SiteCaption : BuiltInCaption);
    if (const int topic = HelpBook::TopicOfUrl(url)) {
        m_topic = topic;
    } else if (site && url.fragment().startsWith(QLatin1String("ctx"))) {
        bool number = false;
        const int topic = url.fragment().mid(3).toInt(&number);
        if (number)
            m_topic = topic;
    }
}

QVariant HelpWindow::Resource(int type, const QUrl& url) const
{
    const QUrl normal = url.adjusted(QUrl::NormalizePathSegments);
    if (type == QTextDocument::HtmlResource) {
        if (HelpBook::TopicOfUrl(normal) != 0)
            return WithNote(HelpBook::BuiltInText(normal), m_note);
        if (normal.scheme() == SiteScheme())
            return m_siteHtml;
    } else if (normal.scheme() == QLatin1String("qrc") && normal.host().isEmpty() &&
               normal.path().startsWith(QLatin1String("/help/"))) {
        // The built-in pages' own pictures.
        QFile file(QLatin1Char(':') + normal.path());
        if (file.open(QIODevice::ReadOnly))
            return file.readAll();
    }
    return QByteArray();
}
