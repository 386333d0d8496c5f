// The cast of the sample set: the hand-written small set, grown by generated names per scale.
#include "core/sample/world.h"

#include <cstdio>

namespace tdx::core::sample {

Decimal dec(const char* text) {
  Result<Decimal> d = Decimal::Parse(text);
  return d.ok() ? *d : Decimal();
}

std::string phone(int area, int exchange, int line) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "(%03d)%03d-%04d", area % 1000, exchange % 1000, line % 10000);
  return buf;
}

namespace {

struct ProductRow {
  int brand;
  const char* code;
  const char* description;
  const char* division;
  const char* pack;
  const char* price;
  const char* net;
  const char* gross;
  bool discontinued;
};

// The small set's products. PG-1005 and BS-2004 are discontinued; "Jalape\xF1o" carries a
// Windows-1252 letter through every output.
const ProductRow kProducts[] = {
    {0, "PG-1001", "Beef Patty 4 oz IQF", "MEAT", "40/4 OZ", "42.5000", "10.00", "11.20", false},
    {0, "PG-1002", "Chicken Tenders Breaded", "POULTRY", "4/5 LB", "38.7500", "20.00", "21.50",
     false},
    {0, "PG-1003", "Turkey Breast Sliced", "POULTRY", "6/2 LB", "51.2000", "12.00", "13.10", false},
    {0, "PG-1004", "Beef Taco Filling", "MEAT", "6/5 LB", "47.9000", "30.00", "31.75", false},
    {0, "PG-1005", "Pork Sausage Links", "MEAT", "10/1 LB", "29.9500", "10.00", "10.90", true},
    {1, "BS-2001", "Pollock Fillet Breaded", "SEAFOOD", "10 LB", "36.4000", "10.00", "11.00",
     false},
    {1, "BS-2002", "Fish Sticks Whole Grain", "SEAFOOD", "4/6 LB", "33.1000", "24.00", "25.40",
     false},
    {1, "BS-2003", "Cod Portions 3 oz", "SEAFOOD", "10 LB", "58.6000", "10.00", "10.80", false},
    {1, "BS-2004", "Shrimp Popcorn", "SEAFOOD", "4/3 LB", "64.2500", "12.00", "12.90", true},
    {2, "SV-3001", "Apple Slices Fresh", "PRODUCE", "100/2 OZ", "27.8000", "12.50", "14.00", false},
    {2, "SV-3002", "Diced Peaches in Juice", "FRUIT", "6/#10", "31.6000", "39.00", "42.00", false},
    {2, "SV-3003", "Pear Halves Light Syrup", "FRUIT", "6/#10", "34.0500", "39.00", "42.00", false},
    {2, "SV-3004", "Jalape\xF1o Peppers Sliced", "VEGETABLE", "6/#10", "28.4000", "38.00", "41.00",
     false},
    {3, "ND-4001", "Milk 1% White 8 oz", "DAIRY", "50/8 OZ", "16.9000", "26.00", "27.50", false},
    {3, "ND-4002", "Cheddar Cheese Shredded", "DAIRY", "4/5 LB", "54.3000", "20.00", "21.00",
     false},
    {3, "ND-4003", "Yogurt Strawberry Low Fat", "DAIRY", "48/4 OZ", "22.7500", "12.00", "13.20",
     false},
    {3, "ND-4004", "String Cheese Mozzarella", "DAIRY", "168/1 OZ", "41.1000", "10.50", "11.60",
     false},
};

const char* kBrands[] = {"Prairie Gold Foods", "Bayside Seafood Co.", "Sunvale Orchards",
                         "Northfield Dairy"};
const char* kDistributors[] = {"Metro Foodservice", "Valley Institutional Supply",
                               "Coastal Distributors", "Summit Food Group"};

const char* kGenBrandWords[] = {"Heritage", "Blue Ridge",   "Golden Plains", "Lakeshore",
                                "Red Barn", "Silver Creek", "Maple Hill",    "Cedar Valley"};
const char* kGenKinds[] = {"Foods", "Farms", "Provisions", "Packing", "Kitchens"};
const char* kGenItems[] = {"Chicken Breast Fillet", "Beef Meatballs",       "Green Beans Cut",
                           "Corn Whole Kernel",     "Turkey Ham Sliced",    "Macaroni Cheese",
                           "Mixed Vegetables",      "Orange Juice 4 oz",    "Waffles Whole Grain",
                           "Pizza Cheese 4x6",      "Rice Brown Parboiled", "Tortilla 8 in"};
const char* kGenDivisions[] = {"POULTRY",   "MEAT",  "VEGETABLE", "VEGETABLE", "MEAT",  "ENTREE",
                               "VEGETABLE", "JUICE", "BAKERY",    "ENTREE",    "GRAIN", "BAKERY"};
const char* kGenPacks[] = {"4/5 LB", "6/#10", "12/2 LB", "96/4 OZ", "6/5 LB", "144 CT"};

}  // namespace

World make_world(int scale) {
  World w;
  w.scale = scale;
  for (const char* b : kBrands) w.brands.push_back({b, {}, {}});
  for (const char* d : kDistributors) w.distributors.push_back(d);
  for (const auto& r : kProducts) {
    Product p;
    p.brand = r.brand;
    p.code = r.code;
    p.description = r.description;
    p.division = r.division;
    p.pack = r.pack;
    p.price = dec(r.price);
    p.net_wt = dec(r.net);
    p.gross_wt = dec(r.gross);
    p.discontinued = r.discontinued;
    w.brands[r.brand].products.push_back(static_cast<int>(w.products.size()));
    w.products.push_back(p);
  }
  // Which distributor carries which brand (MFRDIST).
  w.brands[0].distributors = {0, 1, 2};
  w.brands[1].distributors = {2, 3};
  w.brands[2].distributors = {0, 1, 3};
  w.brands[3].distributors = {0, 1};
  w.agencies = {{"Lincoln County Public Schools", {0, 1}},
                {"State Dept of Corrections", {2, 3, 0}},
                {"Riverside Hospital District", {3}}};
  w.regions = {"Mid-Atlantic", "Southeast"};
  w.reps = {"Pat Morgan", "Chris Alvarez", "Jordan Lee"};
  w.competitors = {"Acme Provisions", "Golden State Packers", "Great Lakes Foods"};
  w.bid_types = {"ANNU", "SEMI", "QTR", "SPOT"};
  w.std_comments = 6;

  // Growth for benchmarks: names numbered so that they stay unique and sort predictably.
  int extra = scale - 1;
  Rng rng(0x7E4D1C5A11ull);
  int n_dist = std::min(extra, 200);
  for (int i = 0; i < n_dist; ++i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "Distributor %04d Foodservice", i + 1);
    w.distributors.push_back(buf);
  }
  int n_brands = std::min(extra, 500);
  for (int i = 0; i < n_brands; ++i) {
    char name[40];
    std::snprintf(name, sizeof name, "%s %s %04d", kGenBrandWords[i % std::size(kGenBrandWords)],
                  kGenKinds[(i / std::size(kGenBrandWords)) % std::size(kGenKinds)], i + 1);
    Brand b{name, {}, {}};
    int bi = static_cast<int>(w.brands.size());
    for (int k = 0; k < 20; ++k) {
      Product p;
      p.brand = bi;
      char code[16];
      std::snprintf(code, sizeof code, "G%04d-%03d", i + 1, k + 1);
      p.code = code;
      int item = rng.below(static_cast<int>(std::size(kGenItems)));
      p.description = kGenItems[item];
      p.division = kGenDivisions[item];
      p.pack = kGenPacks[rng.below(static_cast<int>(std::size(kGenPacks)))];
      p.price = Decimal::FromParts(150000 + rng.below(600000), 4);
      p.net_wt = Decimal::FromParts(500 + rng.below(3500), 2);
      p.gross_wt = p.net_wt + Decimal::FromParts(50 + rng.below(200), 2);
      p.discontinued = rng.chance(3);
      b.products.push_back(static_cast<int>(w.products.size()));
      w.products.push_back(p);
    }
    int nd = static_cast<int>(w.distributors.size());
    int first = rng.below(nd);
    for (int k = 0; k < 3; ++k) {
      int d = (first + k * 7) % nd;
      bool dup = false;
      for (int x : b.distributors) dup |= x == d;
      if (!dup) b.distributors.push_back(d);
    }
    w.brands.push_back(std::move(b));
  }
  int n_agencies = std::min(extra, 200);
  for (int i = 0; i < n_agencies; ++i) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s District %04d",
                  i % 3 == 0 ? "School" : (i % 3 == 1 ? "County" : "Health"), i + 1);
    Agency a{buf, {}};
    int nd = static_cast<int>(w.distributors.size());
    int first = rng.below(nd);
    for (int k = 0; k < 1 + i % 5; ++k) {
      int d = (first + k * 3) % nd;
      bool dup = false;
      for (int x : a.distributors) dup |= x == d;
      if (!dup) a.distributors.push_back(d);
    }
    w.agencies.push_back(std::move(a));
  }
  return w;
}

}  // namespace tdx::core::sample
