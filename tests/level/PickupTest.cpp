#include "level/Pickup.h"

#include <gtest/gtest.h>

#include <set>

namespace {
using Family = Pickup::Family;
} // namespace

// The class alone decides, in any case; a flag is coloured by the team its class names.
TEST(PickupTest, EachPickupByFamilyWhereItStandsYUp)
{
    const std::array<unsigned char, 3> red{230, 30, 30}, blue{40, 90, 255};
    const struct {
        const char* classname;
        std::optional<Family> family;
        std::optional<std::array<unsigned char, 3>> colour; // none: the family's
    } cases[] = {
        {"weapon_rocketlauncher", Family::weapon, {}},
        {"ammo_bullets", Family::ammunition, {}},
        {"item_armor_shard", Family::armour, {}},
        {"ITEM_ARMOR_BODY", Family::armour, {}},
        {"item_health_mega", Family::health, {}},
        {"item_quad", Family::powerup, {}},
        {"holdable_teleporter", Family::powerup, {}},
        {"team_CTF_redflag", Family::flag, red},
        {"team_CTF_blueflag", Family::flag, blue},
        {"team_CTF_neutralflag", Family::flag, {}},
        {"team_CTF_redspawn", std::nullopt, {}},
        {"info_player_start", std::nullopt, {}},
        {"weapon", std::nullopt, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.classname);
        const std::vector<Pickup> pickups = Pickup::list(
            EntityText::parse(std::string("{ \"classname\" \"") + c.classname + "\" \"origin\" \"1 2 3\" }").entities);
        ASSERT_EQ(pickups.size(), c.family ? 1u : 0u);
        if (!c.family)
            continue;
        EXPECT_EQ(pickups[0].family, *c.family);
        EXPECT_EQ(pickups[0].shown, c.colour.value_or(Pickup::colour(*c.family)));
        EXPECT_EQ((std::array<float, 3>{pickups[0].position.getX(), pickups[0].position.getY(),
                                        pickups[0].position.getZ()}),
                  (std::array<float, 3>{1, 3, -2}));
    }
    EXPECT_TRUE(Pickup::list(EntityText::parse("{ \"classname\" \"item_quad\" \"origin\" \"1 2\" }\n"
                                               "{ \"classname\" \"item_quad\" \"model\" \"*1\" \"origin\" \"0 0 0\" }")
                                 .entities)
                    .empty())
        << "an origin that does not read, a brush entity";
}

TEST(PickupTest, EachFamilyHasItsOwnColour)
{
    std::set<std::array<unsigned char, 3>> colours;
    for (std::size_t f = 0; f < Pickup::familyCount; ++f)
        colours.insert(Pickup::colour(Family(f)));
    EXPECT_EQ(colours.size(), Pickup::familyCount);
}
