// The custom group editor: how the tree is built from a board's records, and the dialog's
// clicks, board changes, "設定" and Cancel as they reach the boards' filter states. With
// VURNA_SCREENSHOT_DIR set the dialog is saved there as custom-group.png for a person to look at.

#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "forms/CustomGroupLists.h"
#include "forms/TfrmCustomGroup.h"
#include "support/BoardFixtures.h"

#include <QComboBox>
#include <QDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace CustomGroupLists;

namespace {

TVurnaDataRec record(const QByteArray& key, const QByteArray& group)
{
    TVurnaDataRec r;
    r.FileName = "/SHARE/" + key;
    r.Name = key;
    r.Furigana = "F";
    r.Group = group;
    return r;
}

struct TreeCase
{
    const char* what;
    QList<std::pair<QByteArray, QByteArray>> records; // key, group, in record order
    QByteArray list;
    Tree expected;
};

class CustomGroupTree : public ::testing::TestWithParam<TreeCase>
{
};

TEST_P(CustomGroupTree, GroupsSortedMembersInRecordOrder)
{
    TVurnaDataArray records(1);
    for (const auto& [key, group] : GetParam().records)
        records.append(record(key, group));
    EXPECT_EQ(BuildTree(records, GetParam().list), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CustomGroup, CustomGroupTree,
    ::testing::Values(
        TreeCase{"an empty group is a node of its own",
                 {{"A", ""}, {"B", "X"}},
                 "",
                 {{"", {{"A", "A (F)", false}}}, {"X", {{"B", "B (F)", false}}}}},
        TreeCase{"groups in caseless order, members as the records come",
                 {{"C", "Sales"}, {"B", "admin"}, {"A", "Sales"}},
                 "",
                 {{"admin", {{"B", "B (F)", false}}}, {"Sales", {{"C", "C (F)", false}, {"A", "A (F)", false}}}}},
        TreeCase{"in only on an exact key, whichever spelling of the list",
                 {{"YAMA", "G"}, {"YAMADA", "G"}, {"SATO", "G"}},
                 ",YAMADA,SATO",
                 {{"G", {{"YAMA", "YAMA (F)", false}, {"YAMADA", "YAMADA (F)", true}, {"SATO", "SATO (F)", true}}}}}),
    [](const auto& info) { return std::to_string(info.index); });

// Board 0 is on show (阿部 and 伊藤 in 営業, 上田 in 総務); board 1 is another share holding
// 江藤; board 2's share cannot be read.
class CustomGroupDialog : public ::testing::Test
{
protected:
    CustomGroupDialog()
    {
        for (const auto& [base, reading, name, group] :
             {std::tuple{"abe", "ｱﾍﾞ", "阿部", "営業"}, std::tuple{"ito", "ｲﾄｳ", "伊藤", "営業"},
              std::tuple{"ueda", "ｳｴﾀﾞ", "上田", "総務"}})
            shown.writeBytes(QString::fromLatin1(base) + QStringLiteral(".vrn"),
                             memberFile(QString::fromUtf8(reading), QString::fromUtf8(name), QString::fromUtf8(group)));
        other.writeBytes(QStringLiteral("eto.vrn"), memberFile(QStringLiteral("ｴﾄｳ"), QStringLiteral("江藤")));
        model.SetDataSource(shown.dataSource());
        model.Reload(AllMembers);
        boards.resize(3);
        boards[0].BoardName = cp932(QStringLiteral("自分が所属する掲示板"));
        boards[0].ShareDir = shown.dataSource();
        boards[1].BoardName = "B";
        boards[1].ShareDir = other.dataSource();
        boards[2].BoardName = "C";
        boards[2].ShareDir = other.dataSource() + "MISSING/";
        boards[1].Filter.CustomGroup = "ETO,";
        boards[2].Filter.CustomGroup = ",KEPT,";
    }

    void open(const QByteArray& shownList)
    {
        boards[0].Filter.CustomGroup = shownList;
        before = boards;
        form = std::make_unique<TfrmCustomGroup>(boards, 0, model, pictures);
        form->show();
        tree = form->findChild<QTreeWidget*>(QStringLiteral("treCustomGroup"));
        combo = form->findChild<QComboBox*>(QStringLiteral("cmbShareDir"));
        ASSERT_NE(tree, nullptr);
        ASSERT_NE(combo, nullptr);
    }

    QTreeWidgetItem* item(const QString& text) const
    {
        const QList<QTreeWidgetItem*> found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    void click(const QString& text) const
    {
        QTreeWidgetItem* node = item(text);
        ASSERT_NE(node, nullptr) << text.toStdString();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }

    // Which picture the node shows: 0 group, 1 out, 2 in; -1 none of them.
    int picture(const QString& text) const
    {
        const QImage shown = item(text)->icon(0).pixmap(QSize(16, 16)).toImage();
        for (int i = 0; i < pictures.size(); ++i) {
            if (shown == pictures.at(i).toImage())
                return i;
        }
        return -1;
    }

    void press(const char* button) const { form->findChild<QToolButton*>(QLatin1String(button))->click(); }

    TestShare shown{QStringLiteral("shown")};
    TestShare other{QStringLiteral("other")};
    BoardModel model;
    ParmRecList boards, before;
    const QList<QPixmap> pictures = TfrmCustomGroup::DrawnPictures();
    std::unique_ptr<TfrmCustomGroup> form;
    QTreeWidget* tree = nullptr;
    QComboBox* combo = nullptr;
};

const QString abe = QStringLiteral("阿部 (ｱﾍﾞ)");
const QString ito = QStringLiteral("伊藤 (ｲﾄｳ)");

struct GroupClickCase
{
    QByteArray list;
    int afterFirst, afterSecond; // picture of both members
};

class CustomGroupClick : public CustomGroupDialog, public ::testing::WithParamInterface<GroupClickCase>
{
};

TEST_P(CustomGroupClick, GroupTakesTheOppositeOfItsFirstMember)
{
    open(GetParam().list);
    click(QStringLiteral("営業"));
    EXPECT_EQ(picture(abe), GetParam().afterFirst);
    EXPECT_EQ(picture(ito), GetParam().afterFirst);
    click(QStringLiteral("営業"));
    EXPECT_EQ(picture(abe), GetParam().afterSecond);
    EXPECT_EQ(picture(ito), GetParam().afterSecond);
    EXPECT_EQ(picture(QStringLiteral("営業")), TfrmCustomGroup::GroupPicture);
}

INSTANTIATE_TEST_SUITE_P(
    CustomGroup, CustomGroupClick,
    ::testing::Values(GroupClickCase{"ABE,", TfrmCustomGroup::OutPicture, TfrmCustomGroup::InPicture},
                      GroupClickCase{"ITO,", TfrmCustomGroup::InPicture, TfrmCustomGroup::OutPicture}));

TEST_F(CustomGroupDialog, TicksSurviveAChangeOfBoardAndCancelKeepsEveryList)
{
    open("");
    click(ito);
    combo->setCurrentIndex(1); // as the arrow keys change it, without the list dropped down
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(picture(QStringLiteral("江藤 (ｴﾄｳ)")), TfrmCustomGroup::InPicture);
    combo->setCurrentIndex(0);
    EXPECT_EQ(picture(ito), TfrmCustomGroup::InPicture);
    EXPECT_EQ(picture(abe), TfrmCustomGroup::OutPicture);
    press("btnCancel");
    EXPECT_EQ(form->result(), QDialog::Rejected);
    EXPECT_EQ(boards, before);
}

TEST_F(CustomGroupDialog, SettingTakesEveryShownTreeInTreeOrder)
{
    open("UEDA,");
    click(abe);
    combo->setCurrentIndex(1);
    click(QStringLiteral("江藤 (ｴﾄｳ)"));
    combo->setCurrentIndex(0);
    press("btnOK");
    EXPECT_EQ(boards[0].Filter.CustomGroup, "ABE,UEDA,");
    EXPECT_EQ(boards[1].Filter.CustomGroup, "");
    EXPECT_EQ(boards[2].Filter.CustomGroup, before[2].Filter.CustomGroup);
}

TEST_F(CustomGroupDialog, SettingWithNobodyTickedEmptiesTheShownBoard)
{
    open(",ABE,UEDA");
    click(abe);
    click(QStringLiteral("上田 (ｳｴﾀﾞ)"));
    press("btnOK");
    EXPECT_EQ(boards[0].Filter.CustomGroup, "");
    EXPECT_EQ(boards[1], before[1]);
}

TEST_F(CustomGroupDialog, AnUnreadableBoardShowsNothingAndKeepsItsList)
{
    open("");
    combo->setCurrentIndex(2);
    EXPECT_EQ(tree->topLevelItemCount(), 0);
    EXPECT_TRUE(combo->isEnabled());
    combo->setCurrentIndex(0);
    EXPECT_EQ(tree->topLevelItemCount(), 2);
    press("btnOK");
    EXPECT_EQ(boards, before);
}

TEST_F(CustomGroupDialog, DrawsTealWithTheTreeInside)
{
    open("ABE,");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QImage image = form->grab().toImage();
    if (const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR"); !dir.isEmpty()) {
        QDir().mkpath(dir);
        image.save(dir + QStringLiteral("/custom-group.png"));
    }
    EXPECT_EQ(image.size(), QSize(483, 396));
    EXPECT_EQ(image.pixelColor(400, 20), QColor(0, 128, 128));
    const QPoint inTree =
        tree->viewport()->mapTo(form.get(), QPoint(tree->viewport()->width() - 5, tree->viewport()->height() - 5));
    EXPECT_EQ(image.pixelColor(inTree), tree->palette().color(QPalette::Base));
    EXPECT_EQ(picture(abe), TfrmCustomGroup::InPicture);
}

} // namespace
