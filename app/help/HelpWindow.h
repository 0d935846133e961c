#pragma once

#include "app/help/HelpBook.h"

#include <QDialog>
#include <QString>
#include <QUrl>

class QPushButton;
class QTextBrowser;

// The help viewer: the built-in pages, or the site's own help page when the board has one, in a
// read-only browser with back, forward and contents. Not modal: the user reads it beside the
// board. Links lead only to built-in pages and to places inside the page on show; nothing is
// ever opened outside the window and no picture is loaded from disk or network.
class HelpWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    explicit HelpWindow(HelpBook book, QWidget* parent = nullptr);

    // Shows topic `context` of `book` for the user and returns the window that shows it. While a
    // modal dialog is open every other window is blocked, so the help then opens in a window of
    // that dialog's own; otherwise in the help window of `owner`. Either is made when missing and
    // reused afterwards.
    static HelpWindow* Open(const HelpBook& book, int context, QWidget* owner);

    // Takes the book's share directory for the next ShowTopic.
    void SetBook(const HelpBook& book) { m_book = book; }

    // Looks for the site's page afresh, shows topic `context` (the site page at its anchor "ctxN",
    // else at its top) and brings the window up.
    void ShowTopic(int context);

    // The topic on show: the built-in page's number, or the one asked of the site page.
    int CurrentTopic() const { return m_topic; }
    bool ShowsSiteHelp() const;
    QUrl CurrentSource() const;
    QTextBrowser* Browser() const { return m_browser; }

    // The address under which the site's page is shown; only the page itself is ever served there.
    static QString SiteScheme() { return QStringLiteral("vurna-site"); }

private:
    friend class HelpBrowser;

    void Navigate(int context);
    void LinkClicked(const QUrl& url);
    void SourceChanged(const QUrl& url);
    // What the browser may load: built-in pages and pictures, and the site page itself.
    QVariant Resource(int type, const QUrl& url) const;
    QUrl SiteUrl() const;

    HelpBook m_book;
    QTextBrowser* m_browser = nullptr;
    QPushButton* m_btnBack = nullptr;
    QPushButton* m_btnForward = nullptr;
    QPushButton* m_btnContents = nullptr;
    int m_topic = 0;
    bool m_siteShown = false; // the site's page is what ShowTopic shows
    QString m_siteHtml;
    QString m_note;       // why the site's page is not shown, above every built-in page
    int m_generation = 0; // a changed site page gets a new address, so the browser reads it again
};
