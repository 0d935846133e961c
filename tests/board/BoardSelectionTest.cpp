#include "board/BoardSelection.h"

#include <gtest/gtest.h>

namespace {

using Mode = BoardSelection::Mode;

struct SelectionCase
{
    const char* name;
    QList<QByteArray> before;
    QList<QByteArray> names;
    Mode mode;
    QList<QByteArray> after; // sorted
};

class SelectionTable : public ::testing::TestWithParam<SelectionCase>
{
};

TEST_P(SelectionTable, ChangesOnlyTheNamedMembersAndStaysSorted)
{
    const SelectionCase& c = GetParam();
    BoardSelection selection;
    for (const QByteArray& name : c.before)
        selection.SetSelected(name);
    for (const QByteArray& name : c.names)
        selection.SetSelected(name, c.mode);
    EXPECT_EQ(selection.FileNames(), c.after) << c.name;
    for (const QByteArray& name : c.after)
        EXPECT_TRUE(selection.IsSelected(name)) << c.name << " " << name.constData();
    EXPECT_EQ(selection.IsEmpty(), c.after.isEmpty()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    BoardSelection, SelectionTable,
    ::testing::Values(
        SelectionCase{
            "select keeps the order of names", {}, {"/S/UEDA", "/S/ABE"}, Mode::Select, {"/S/ABE", "/S/UEDA"}},
        SelectionCase{"select twice is once", {"/S/ABE"}, {"/S/ABE"}, Mode::Select, {"/S/ABE"}},
        SelectionCase{"the placeholder is nobody", {}, {""}, Mode::Select, {}},
        SelectionCase{"deselect one", {"/S/ABE", "/S/ITO"}, {"/S/ABE"}, Mode::Deselect, {"/S/ITO"}},
        SelectionCase{"deselect someone not picked", {"/S/ITO"}, {"/S/ABE"}, Mode::Deselect, {"/S/ITO"}},
        SelectionCase{"toggle turns a range over",
                      {"/S/ABE", "/S/ITO"},
                      {"/S/ITO", "/S/UEDA"},
                      Mode::Toggle,
                      {"/S/ABE", "/S/UEDA"}},
        SelectionCase{
            "names differ by byte, not by letter case", {"/S/ABE"}, {"/S/abe"}, Mode::Toggle, {"/S/ABE", "/S/abe"}}));

} // namespace
