// Sample catalog: brands with contacts, terms and comments; distributors; products with eight
// price levels and extended descriptions; brand-distributor relations; distributor codes.
#include "data/catalog.h"

#include <cstdio>

#include "core/sample/world.h"

namespace tdx::core::sample {
namespace {

struct Party {
  const char* address;
  const char* city;
  const char* state;
  const char* zip;
  int area;
  const char* contacts[3];
  const char* titles[3];
  const char* domain;
  const char* comments;
};

const Party kBrandParties[] = {
    {"2200 Grain Exchange Rd",
     "Omaha",
     "NE",
     "68102",
     402,
     {"Lisa Hartman", "Tom Becker", "Ana Ruiz"},
     {"National Accounts Mgr", "K-12 Sales Director", "Customer Service"},
     "prairiegold.example",
     "Bid prices include all commodity value; do not deduct USDA donated beef. Allowances are "
     "paid quarterly on distributor sales reports. CN labels on file for all patties. Contact "
     "Lisa Hartman before quoting more than 2,500 cases on any single line."},
    {"18 Fish Pier Rd",
     "Gloucester",
     "MA",
     "01930",
     978,
     {"Sean O'Malley", "Rita Costa", ""},
     {"VP Foodservice", "Inside Sales", ""},
     "baysideseafood.example",
     "Seafood prices are subject to market change after the guarantee date."},
    {"4700 Orchard Way",
     "Yakima",
     "WA",
     "98901",
     509,
     {"Mei Chen", "Gary Olson", "Pam Wright"},
     {"Regional Manager", "Broker Liaison", "Order Desk"},
     "sunvale.example",
     "Fresh-cut apple slices ship on a 14-day code. Minimum drop of 50 cases per delivery point; "
     "pickup allowance 0.35 per case at Yakima."},
    {"90 Creamery Ln",
     "Green Bay",
     "WI",
     "54301",
     920,
     {"Erik Lund", "", ""},
     {"Sales Manager", "", ""},
     "northfielddairy.example",
     ""},
};

const Party kDistributorParties[] = {
    {"7001 Industrial Pkwy",
     "Baltimore",
     "MD",
     "21224",
     410,
     {"Karen Diaz", "Mike Storey", ""},
     {"Bid Coordinator", "Street Sales", ""},
     "metrofs.example",
     "Prefers bids faxed by noon on the day before opening."},
    {"310 Rail Spur Dr",
     "Harrisburg",
     "PA",
     "17110",
     717,
     {"Bill Yoder", "Jen Kline", "Sam Park"},
     {"Purchasing", "Contract Sales", "Credit"},
     "valleyinst.example",
     ""},
    {"55 Terminal Blvd",
     "Norfolk",
     "VA",
     "23510",
     757,
     {"Andre Wallace", "", ""},
     {"Institutional Sales", "", ""},
     "coastaldist.example",
     "Delivers to correctional facilities statewide; palletized loads only."},
    {"1200 Summit Ave",
     "Richmond",
     "VA",
     "23220",
     804,
     {"Nora Fitz", "Luis Ortega", ""},
     {"Healthcare Sales", "Buyer", ""},
     "summitfood.example",
     ""},
};

const char* kTerms[] = {"2% 10 NET 30", "NET 30", "1% 15 NET 30", "NET 21"};
const char* kRanges[] = {"1-49 CS",    "50-99 CS",     "100-249 CS",   "250-499 CS",
                         "500-999 CS", "1000-2499 CS", "2500-4999 CS", "5000+ CS"};
const char* kSentences[] = {
    "Fully cooked and individually quick frozen for portion control. ",
    "Meets the whole grain-rich and sodium targets of the school meal pattern. ",
    "Heat from frozen at 350 F for 12 to 14 minutes in a convection oven. ",
    "Shelf life 365 days frozen at 0 F or below; 5 days thawed under refrigeration. ",
    "No artificial colors or flavors; produced in a nut-free facility. ",
    "Each serving provides 2.00 oz equivalent meat/meat alternate. ",
    "Packed in poly-lined corrugated cases, 60 cases per pallet tier of 6. ",
    "Made from domestic raw materials under continuous inspection. ",
};

std::string email(const std::string& who, const char* domain) {
  std::string e;
  for (char c : who)
    if (c == ' ')
      e += '.';
    else if (std::isalpha(static_cast<unsigned char>(c)))
      e += static_cast<char>(std::tolower(c));
  return e.empty() ? "" : e + "@" + domain;
}

// The extended description: sentences up to a length that varies by product, blank for one.
std::string extended(const Product& p, int index) {
  if (p.code == "ND-4004") return "";
  static const size_t kTargets[] = {540, 260, 130, 60};
  size_t target = kTargets[index % 4];
  std::string s = p.description + ", " + p.pack + ". ";
  for (int k = 0; s.size() < target; ++k) {
    std::string next = kSentences[(index + k) % std::size(kSentences)];
    if (s.size() + next.size() > 560) break;
    s += next;
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

template <typename Rec>
void fill_party(Rec& r, const Party& p, int index) {
  r.ADDRESS = p.address;
  r.CITY = p.city;
  r.STATE = p.state;
  r.ZIP = p.zip;
  r.ALT_ADDRESS = index % 2 == 0 ? "P.O. Box " + std::to_string(100 + index * 17) : "";
  r.ALT_CITY = index % 2 == 0 ? p.city : "";
  r.ALT_STATE = index % 2 == 0 ? p.state : "";
  r.ALT_ZIP = index % 2 == 0 ? p.zip : "";
  r.FAX_NUMBER = phone(p.area, 555, 1900 + index);
  r.CORP_PHONE = phone(p.area, 555, 1000 + index);
  r.TYPE_SIZE = index % 3 == 0 ? "LG" : (index % 3 == 1 ? "MD" : "SM");
  r.CONTACT1 = p.contacts[0];
  r.TITLE1 = p.titles[0];
  r.PHONE1 = *p.contacts[0] ? phone(p.area, 555, 1100 + index) : "";
  r.CONTACT2 = p.contacts[1];
  r.TITLE2 = p.titles[1];
  r.PHONE2 = *p.contacts[1] ? phone(p.area, 555, 1200 + index) : "";
  r.CONTACT3 = p.contacts[2];
  r.TITLE3 = p.titles[2];
  r.PHONE3 = *p.contacts[2] ? phone(p.area, 555, 1300 + index) : "";
  r.EMAIL = std::string("bids@") + p.domain;
  r.EMAIL1 = email(p.contacts[0], p.domain);
  r.EMAIL2 = email(p.contacts[1], p.domain);
  r.EMAIL3 = email(p.contacts[2], p.domain);
}

// Generated brands and distributors: one shape, numbered.
Party generated_party(int index, std::string* domain_store) {
  static const char* kCities[][3] = {{"Columbus", "OH", "43215"}, {"Atlanta", "GA", "30303"},
                                     {"Denver", "CO", "80202"},   {"Memphis", "TN", "38103"},
                                     {"Fresno", "CA", "93721"},   {"Dayton", "OH", "45402"}};
  const auto& c = kCities[index % 6];
  *domain_store = "party" + std::to_string(index) + ".example";
  return {"100 Commerce Dr",
          c[0],
          c[1],
          c[2],
          300 + index % 600,
          {"Alex Reed", "Jamie Fox", ""},
          {"Sales", "Customer Service", ""},
          domain_store->c_str(),
          ""};
}

}  // namespace

Status write_catalog(const std::string& dir, const World& w, std::ostream& progress) {
  TDX_SAMPLE_TRY((write_file<MAN::Record>(dir, MAN::Decl(), progress, [&](auto& out) {
    for (size_t b = 0; b < w.brands.size(); ++b) {
      std::string domain;
      Party p = b < std::size(kBrandParties) ? kBrandParties[b]
                                             : generated_party(static_cast<int>(b), &domain);
      out.clear();
      auto& r = out.rec();
      r.MANUF_NAME = w.brands[b].name;
      fill_party(r, p, static_cast<int>(b));
      r.TERMS = kTerms[b % std::size(kTerms)];
      r.MIN_DROP = b % 2 == 0 ? "50 CS" : "25 CS";
      r.MIN_PICKUP = b % 2 == 0 ? "25 CS" : "10 CS";
      r.STANDARD = b % 3 == 2 ? "NO" : "YES";
      r.BROKERNO = "HP-" + std::to_string(1040 + b);
      r.TERR_ZONE = b % 2 == 0 ? "EAST" : "SOUTH";
      out.memo(MAN::COMMENTS_MEMO) = p.comments;
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<DIS::Record>(dir, DIS::Decl(), progress, [&](auto& out) {
    for (size_t d = 0; d < w.distributors.size(); ++d) {
      std::string domain;
      Party p = d < std::size(kDistributorParties)
                    ? kDistributorParties[d]
                    : generated_party(static_cast<int>(d + 1000), &domain);
      out.clear();
      out.rec().DISTRI_NAME = w.distributors[d];
      fill_party(out.rec(), p, static_cast<int>(d));
      out.memo(DIS::COMMENTS_MEMO) = p.comments;
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<PRD::Record>(dir, PRD::Decl(), progress, [&](auto& out) {
    for (size_t i = 0; i < w.products.size(); ++i) {
      const Product& p = w.products[i];
      out.clear();
      auto& r = out.rec();
      r.MANUFAC = w.brands[p.brand].name;
      r.TERMS = kTerms[p.brand % std::size(kTerms)];
      r.MIN_DROP = p.brand % 2 == 0 ? "50 CS" : "25 CS";
      r.STANDARD = "YES";
      r.PROD_CODE = p.code;
      r.PROD_DES = p.description;
      r.PROD_DIVISON = p.division;
      r.PACK = p.pack;
      r.CATCH = p.division == "MEAT" ? "Y" : "N";
      r.GROSS_WT = p.gross_wt;
      r.NET_WT = p.net_wt;
      char upc[16];
      std::snprintf(upc, sizeof upc, "0%05d%06zu", 71230 + p.brand % 90000, 10000 + i);
      r.UPC_CODE = upc;
      // Eight levels stepping down 2% each; SV-3001 quotes only four.
      int levels = p.code == "SV-3001" ? 4 : 8;
      Str<15>* ranges[] = {&r.RANGE1, &r.RANGE2, &r.RANGE3, &r.RANGE4,
                           &r.RANGE5, &r.RANGE6, &r.RANGE7, &r.RANGE8};
      store::Packed<11, 4>* prices[] = {&r.PRICE1, &r.PRICE2, &r.PRICE3, &r.PRICE4,
                                        &r.PRICE5, &r.PRICE6, &r.PRICE7, &r.PRICE8};
      for (int k = 0; k < levels; ++k) {
        *ranges[k] = kRanges[k];
        *prices[k] = (p.price * (Decimal(100 - 2 * k) / Decimal(100))).Round(4);
      }
      r.DISCONTINUED = p.discontinued ? "Y" : "";
      out.memo(PRD::EXTND_DESCR_MEMO) = extended(p, static_cast<int>(i));
      TDX_SAMPLE_TRY(out.add());
    }
    return Status();
  })));

  TDX_SAMPLE_TRY((write_file<MDX::Record>(dir, MDX::Decl(), progress, [&](auto& out) {
    for (size_t b = 0; b < w.brands.size(); ++b)
      for (int d : w.brands[b].distributors) {
        out.clear();
        out.rec().MANUF_NAME = w.brands[b].name;
        out.rec().DISTRI_NAME = w.distributors[d];
        char id[16];
        std::snprintf(id, sizeof id, "M%03zu-D%03d", (b + 1) % 1000, (d + 1) % 1000);
        out.rec().MFR_DIST_ID = id;
        TDX_SAMPLE_TRY(out.add());
      }
    return Status();
  })));

  return write_file<MDP::Record>(dir, MDP::Decl(), progress, [&](auto& out) {
    for (size_t b = 0; b < w.brands.size(); ++b)
      for (int d : w.brands[b].distributors)
        for (int pi : w.brands[b].products) {
          const Product& p = w.products[pi];
          // Summit has no code for the jalapenos: the quote prints a blank code there.
          if (p.code == "SV-3004" && d == 3) continue;
          out.clear();
          out.rec().MANUF = w.brands[b].name;
          out.rec().MANUF_PCODE = p.code;
          out.rec().DISTR = w.distributors[d];
          char code[16];
          std::snprintf(code, sizeof code, "%c%c%07d", 'A' + d % 26, 'A' + (d / 26) % 26,
                        pi * 10 + 7);
          out.rec().DISTR_PCODE = code;
          TDX_SAMPLE_TRY(out.add());
        }
    return Status();
  });
}

}  // namespace tdx::core::sample
