// Menus read the same on every backend: walked by position, strings found by
// command in submenus too and cut to the buffer, and menu 0 is nothing.
#include <string>
#include <tuple>
#include <vector>

#include "tests/contract/contract_test.h"

namespace qm::contract {
namespace {

using MenuContract = ContractTest;

TEST_F(MenuContract, WalkedByPositionAndAMissingPositionIsNothing) {
    const Hwnd window = Make("QmMenuOwner", "America  Online");
    const Hmenu bar = MakeMenu(
        {{"&File", {{"&Open", 10}, MenuEntry::Separator(), {"More", {{"Deep item", 77}}}}}, {"Help", 20}}, window);
    const Hmenu file = p.GetSubMenu(bar, 0);
    EXPECT_EQ(std::tuple(p.GetMenu(window), p.GetMenuItemCount(bar), p.GetMenuItemCount(file)), std::tuple(bar, 2, 3));
    EXPECT_NE(file, 0u);
    EXPECT_NE(p.GetSubMenu(file, 2), 0u);
    EXPECT_EQ(std::vector<Hmenu>(
                  {p.GetSubMenu(bar, 1), p.GetSubMenu(bar, 2), p.GetSubMenu(bar, -1), p.GetSubMenu(file, 0)}),
              std::vector<Hmenu>({0, 0, 0, 0}));
    // An item opening a submenu and a missing position both read as kMenuIdSubmenu; a separator as 0.
    EXPECT_EQ(std::vector<std::uint32_t>({p.GetMenuItemID(bar, 0), p.GetMenuItemID(bar, 1), p.GetMenuItemID(file, 0),
                                          p.GetMenuItemID(file, 1), p.GetMenuItemID(file, 2), p.GetMenuItemID(file, 3),
                                          p.GetMenuItemID(file, -1)}),
              std::vector<std::uint32_t>({kMenuIdSubmenu, 20, 10, 0, kMenuIdSubmenu, kMenuIdSubmenu, kMenuIdSubmenu}));
    EXPECT_EQ(p.GetMenu(Make("QmMenuOwner", "no menu")), 0u);
}

TEST_F(MenuContract, StringsAreFoundByCommandInSubmenusTooAndCutToTheBuffer) {
    const std::string longText(150, 'm');
    const Hmenu bar = MakeMenu({{"&File", {{"&Open", 10}, {"More", {{"Deep\titem", 77}}}, {longText, 11}}},
                                {"&Help", 20},
                                {"Open again", 10}});
    const Hmenu file = p.GetSubMenu(bar, 0);
    // Menu, identifier, buffer, read.
    const std::tuple<Hmenu, std::uint32_t, int, std::string> reads[] = {
        {bar, 10, 100, "&Open"},  // the first with it, inside a submenu before the later item
        {bar, 77, 100, "Deep\titem"},
        {bar, 11, 100, longText.substr(0, 99)},
        {bar, 11, 151, longText},
        {bar, 20, 3, "&H"},
        {bar, 20, 1, ""},
        {bar, 20, 0, ""},
        {bar, 20, -1, ""},
        {bar, 99, 100, ""},
        {file, 20, 100, ""},  // not in that submenu
        {file, 77, 100, "Deep\titem"}};
    for (const auto& [menu, id, size, read] : reads)
        EXPECT_EQ(p.GetMenuString(menu, id, size), read) << id << " " << size;
}

TEST_F(MenuContract, MenuZeroIsNothing) {
    EXPECT_EQ(std::tuple(p.GetMenu(0), p.GetMenuItemCount(0), p.GetSubMenu(0, 0), p.GetMenuItemID(0, 0),
                         p.GetMenuString(0, 1, 100)),
              std::tuple(Hmenu{0}, -1, Hmenu{0}, kMenuIdSubmenu, ""));
}

}  // namespace
}  // namespace qm::contract
