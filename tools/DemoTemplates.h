#pragma once

#include <span>

// The shop that the demo and test databases describe: suppliers, categories,
// classes and the kinds of product on its shelves. Texts are UTF-8; lists of
// variants are separated by '|'.
struct TDemoProvider {
    const char* Id;
    const char* Name;
};

struct TDemoItem {
    const char* Id; // the first character names the group, the first two the subgroup
    const char* Name;
    const char* Descriptions;
};

struct TDemoClass {
    const char* Id;
    const char* Name;
};

struct TDemoTemplate {
    const char* ProviderId;
    const char* ItemId;
    const char* Brand;
    const char* EnglishBrand;
    const char* Names;
    const char* EnglishNames;
    const char* Sizes;
    const char* Unit;
    int PackQty; // units in an inner pack, 0 when sold singly
    int CaseQty;
    int PriceLow; // shop price range in dollars
    int PriceHigh;
    int ShelfDays;
};

namespace DemoTemplates
{

std::span<const TDemoProvider> Providers();
std::span<const TDemoItem> Items();
std::span<const TDemoClass> Classes();
std::span<const TDemoTemplate> Templates();

// Codes that products use but that have no lookup row, as an old shop
// database has after suppliers and categories were removed.
inline constexpr const char* RetiredProviderId = "S099";
inline constexpr const char* RetiredItemId = "1199";
inline constexpr const char* RetiredClassId = "99";

} // namespace DemoTemplates
