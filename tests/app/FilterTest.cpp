// The filter lists of the board page as the user works them: what they offer, what a tick
// and the on/off box do to the board on show and to the stored filter state.

#include "MainFixture.h"

#include "app/filters/FilterList.h"
#include "board/ui/TVurnaGrid.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

class Filters : public MainFixture
{
protected:
    void SetUp() override
    {
        const auto add = [this](const char* base, const char* reading, const char* name, const char* group) {
            addMember(QLatin1String(base), userFile(QString::fromUtf8(reading), QString::fromUtf8(name),
                                                    QString::fromUtf8(group), "127.0.0.1"));
        };
        add("yamada", "ﾔﾏﾀﾞ", "山田", "営業");
        add("suzuki", "ｽｽﾞｷ", "鈴木", "総務");
        add("tanaka", "ﾀﾅｶ", "田中", "A,B");
        share.writeBytes(QStringLiteral("team.grp"), "[ShareCustomGroup]\r\nTANAKA\r\n");
        share.writeBytes(QStringLiteral("vurna.ini"), "[Vurnaboard]\r\nSHARECUSTOMGROUP FILE=team.grp NAME=" +
                                                          cp932(QStringLiteral("チーム")) + "\r\n");
        for (const char* stopped : {"suzuki.off", "tanaka.off"})
            share.writeBytes(QLatin1String(stopped), {});
        writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"));
        ASSERT_TRUE(start());
        window->resize(640, 460);
        window->show();
    }

    QStringList texts(FilterList& list) const
    {
        QStringList all;
        for (int row = 0; row < list.count(); ++row)
            all.append(list.item(row)->text().mid(1));
        return all;
    }
    void tick(FilterList& list, int row) const { list.item(row)->setCheckState(Qt::Checked); }
    int shownMembers() const
    {
        TVurnaDataArray shown;
        child<TVurnaGrid>("Keiziban").GetSelection(shown, false);
        return int(shown.size()) - 1;
    }
    // With VURNA_SCREENSHOT_DIR set, the window as drawn is saved there for a person to look at.
    void save(const char* name) const
    {
        const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QDir().mkpath(dir);
            window->grab().save(dir + QLatin1Char('/') + QLatin1String(name));
        }
    }
    QCheckBox* box(const char* name) const { return window->findChild<QCheckBox*>(QLatin1String(name)); }
};

TEST_F(Filters, GroupsThenTheOwnCustomGroupThenTheSites)
{
    // Groups are held in full-width upper case, so "A,B" cannot split into two when stored.
    EXPECT_EQ(texts(child<FilterList>("cmbGroupFilter")),
              (QStringList{QStringLiteral("Ａ，Ｂ"), QStringLiteral("営業"), QStringLiteral("総務"),
                           QStringLiteral("カスタムグループ"), QStringLiteral("チーム")}));
}

TEST_F(Filters, ATickWithTheBoxOffIsStoredAndAppliedOnceTheBoxIsOn)
{
    tick(child<FilterList>("cmbGroupFilter"), 1); // 営業
    EXPECT_EQ(state().ShownBoard().Filter.CheckedGroups, cp932(QStringLiteral(",営業,")));
    EXPECT_EQ(shownMembers(), 3);
    box("chkGroupFilter")->setChecked(true);
    EXPECT_TRUE(state().ShownBoard().Filter.GroupFilterOn);
    EXPECT_EQ(shownMembers(), 1);
    tick(child<FilterList>("cmbGroupFilter"), 4); // the site's チーム: 田中
    EXPECT_EQ(shownMembers(), 2);
}

TEST_F(Filters, StatusTicksFilterByDisplayStatus)
{
    FilterList& statuses = child<FilterList>("cmbStatusFilter");
    ASSERT_EQ(statuses.count(), 5);
    EXPECT_EQ(statuses.item(1)->text(), QStringLiteral(" 起動中"));
    box("chkStatusFilter")->setChecked(true);
    tick(statuses, 1); // running: the user alone runs here
    EXPECT_EQ(state().ShownBoard().Filter.CheckedStatus, ",1,");
    EXPECT_EQ(shownMembers(), 1);
}

TEST_F(Filters, TheListDropsDownFromItsButtonAndAClickOutsideClosesIt)
{
    FilterList& groups = child<FilterList>("cmbGroupFilter");
    auto* groupButton = window->findChild<QPushButton*>(QStringLiteral("btnGroupFilter"));
    auto* statusButton = window->findChild<QPushButton*>(QStringLiteral("btnStatusFilter"));
    const auto press = [](QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); };
    tick(groups, 1);
    press(groupButton);
    ASSERT_TRUE(groups.isVisible());
    EXPECT_EQ(groups.height(), (groups.count() + 1) * groups.RowHeight());
    save("filter-groups.png");

    // The click outside only closes the list: the other button is not pressed by it.
    press(statusButton);
    EXPECT_FALSE(groups.isVisible());
    EXPECT_FALSE(child<FilterList>("cmbStatusFilter").isVisible());
    press(statusButton);
    EXPECT_TRUE(child<FilterList>("cmbStatusFilter").isVisible());
    save("filter-status.png");

    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    const QList<QByteArray> before = grid.ScrDBSelection();
    press(&grid);
    EXPECT_FALSE(child<FilterList>("cmbStatusFilter").isVisible());
    EXPECT_EQ(grid.ScrDBSelection(), before); // the closing click picks nobody
}

TEST_F(Filters, TheCustomGroupEditorsChoiceFiltersAtOnce)
{
    tick(child<FilterList>("cmbGroupFilter"), 3); // カスタムグループ, empty so far
    box("chkGroupFilter")->setChecked(true);
    EXPECT_EQ(shownMembers(), 0);
    window->Dialogs().SetRunner([](QDialog& editor) {
        auto* tree = editor.findChild<QTreeWidget*>(QStringLiteral("treCustomGroup"));
        const QList<QTreeWidgetItem*> found =
            tree->findItems(QStringLiteral("鈴木"), Qt::MatchStartsWith | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        emit tree->itemClicked(found.first(), 0);
        editor.accept();
    });
    action(QStringLiteral("mnuCustomGroup"))->trigger();
    EXPECT_EQ(state().ShownBoard().Filter.CustomGroup, "SUZUKI,");
    EXPECT_EQ(shownMembers(), 1);
}

TEST_F(Filters, TheVersionWindowNamesTheProgramAndItsVersion)
{
    QString shown;
    window->Dialogs().SetRunner([&](QDialog& version) {
        shown = version.findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
        version.show();
        const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            version.grab().save(dir + QStringLiteral("/version.png"));
    });
    action(QStringLiteral("mnuVersion"))->trigger();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Vurnaboard\nバージョン 3.00"))) << shown.toStdString();
}

} // namespace
