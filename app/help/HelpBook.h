#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// Which help the program shows: the pages built into the program, one per topic number, or the
// help page that a site keeps beside its vurna.ini ("Vurnaboard.html", or "Vurnaboard.htm").
// The site page lies on a share that every member can write, so it is only ever read as text:
// with a size limit, never opened by the desktop, its links and pictures left alone.
class HelpBook
{
public:
    // A site page larger than this is not shown: it is not a help page, and reading it from a
    // slow share would stall the program.
    static constexpr qint64 SiteFileLimit = 1024 * 1024;

    // `shareDir`: the own board's shared directory in its in-memory form (CP932, upper-cased);
    // empty when the user has none yet.
    explicit HelpBook(QByteArray shareDir = {});

    void SetShareDir(const QByteArray& shareDir) { m_shareDir = shareDir; }
    const QByteArray& ShareDir() const { return m_shareDir; }

    // Every topic number that has a page of its own, the contents first.
    static QList<int> Topics();
    // The built-in page of `context`; a number without a page of its own gives the contents.
    static QUrl BuiltInUrl(int context);
    // The topic of a built-in page's address (a "#" part is ignored); 0 for any other address.
    static int TopicOfUrl(const QUrl& url);
    // The HTML of a built-in page; empty for any address that is not one.
    static QString BuiltInText(const QUrl& url);

    struct SiteHelp
    {
        enum class State { None, Shown, TooLarge, Unreadable };
        State state = State::None;
        QString fileName; // as found on the share
        QString html;     // the page's text (Shown)
        QString note;     // why the site's page is not shown (TooLarge, Unreadable), for the user
    };
    // Looks for the site's page now and reads it. None when there is no share or no page.
    SiteHelp ReadSiteHelp() const;

    // A site page's bytes as text: UTF-8 when they are valid UTF-8, else CP932 (Shift-JIS).
    static QString DecodeSiteText(const QByteArray& bytes);
    // The anchor that marks topic `context` in a site page: "ctx" followed by the number.
    static QString SiteAnchor(int context);
    // Whether `html` names an anchor `name` (<a name="..."> or an id attribute).
    static bool HasAnchor(const QString& html, const QString& name);

private:
    QByteArray m_shareDir;
};
