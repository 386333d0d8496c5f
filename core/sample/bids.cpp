// Sample bids: headers, specification lines, offered products, competitor and distributor bids
// and standard-comment links. The four bids of the small set are written out by hand so that
// each report feature has a line that shows it (docs/sample-data.md); larger scales add
// generated bids of the same shape.
#include "data/bids.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/sample/world.h"
#include "data/reference.h"
#include "runtime/datetime/datetime.h"

namespace tdx::core::sample {
namespace {

struct HeaderOpt {
  const char* bid_id;
  int agency;
  int rep;
  int32_t received, opening;
  int hour, minute;  // opening time, 24-hour clock
  int32_t from, to;  // delivery period
  const char* bid_type;
  bool palletize = true;
  bool minority = false;
  bool escalation = false;
  bool non_profit = false;
  const char* notes = "";
  const char* delivery[4] = {"", "", "", ""};
};

struct LineOpt {
  const char* spec;
  int alt_seq = 0;
  bool cn_label = false, usda = false, spec_sheet = false;
  const char* grade = "";
  const char* approved_brands = "";  // non-blank: a branded specification
  const char* hist_bid = "";
  const char* hist_line = "";
  const char* mfr_bidnum = "";
  const char* commission = "0";
  const char* comments = "";
};

struct OfferOpt {
  bool alt = false;
  bool award = false;
  int32_t award_date = 0;
  bool extension = false;
  const char* net = "BB";  // billing kind: "P", "BB", "OI", "Z"
  char basis = 'D';        // 'D' delivered, else FOB
  const char* unit = "CS";
  bool approx = false;
  int quantity = 100;
  short serve = 0;
  std::vector<int> std_comments = {};
  const char* comments[4] = {"", "", "", ""};
  const char* hist_price = "";
};

struct CompOpt {
  int competitor;
  int distributor;
  const char* code;
  const char* pack;
  const char* description;
  const char* price;
  const char* terms = "";
  bool award = false;
  int32_t award_date = 0;
  int32_t call_date = 0;
  const char* comments = "";
};

struct DistOpt {
  int distributor;
  const char* price;
  const char* bid_id = "";
  bool award = false;
};

std::string money(const Decimal& d) { return d.ToFixed(2); }

class BidWriter {
 public:
  BidWriter(const std::string& dir, const World& w)
      : w_(w),
        hea_(dir, HEA::Decl()),
        spe_(dir, SPE::Decl()),
        pro_(dir, PRO::Decl()),
        cob_(dir, COB::Decl()),
        bdi_(dir, BDI::Decl()),
        pbc_(dir, PBC::Decl()) {
    for (size_t i = 0; i < w.products.size(); ++i)
      by_code_[w.products[i].code] = static_cast<int>(i);
  }

  Status begin() {
    TDX_SAMPLE_TRY(hea_.create());
    TDX_SAMPLE_TRY(spe_.create());
    TDX_SAMPLE_TRY(pro_.create());
    TDX_SAMPLE_TRY(cob_.create());
    TDX_SAMPLE_TRY(bdi_.create());
    TDX_SAMPLE_TRY(pbc_.create());
    auto f = files();
    return store::logout(kSampleLockWait, f);
  }
  Status finish(std::ostream& progress) {
    TDX_SAMPLE_TRY(store::commit());
    progress << hea_.label() << ": " << hea_.count() << " records\n"
             << spe_.label() << ": " << spe_.count() << " records\n"
             << pro_.label() << ": " << pro_.count() << " records\n"
             << cob_.label() << ": " << cob_.count() << " records\n"
             << bdi_.label() << ": " << bdi_.count() << " records\n"
             << pbc_.label() << ": " << pbc_.count() << " records\n";
    return Status();
  }

  Status header(const HeaderOpt& h) {
    hea_.clear();
    auto& r = hea_.rec();
    r.SALES_REP = w_.reps[h.rep];
    r.BID_AGENCY = w_.agencies[h.agency].name;
    r.BID_ID = h.bid_id;
    r.DATE_RECD = h.received;
    r.OPEN_DATE = h.opening;
    r.OPEN_TIME = make_time(h.hour % 12 == 0 ? 12 : h.hour % 12, h.minute);
    r.AM_PM = h.hour < 12 ? "AM" : "PM";
    r.DEL_FROMDATE = h.from;
    r.DEL_TODATE = h.to;
    r.AGENCY_DELIN = h.delivery[0];
    r.AGENCY_DEL2 = h.delivery[1];
    r.AGENCY_DEL3 = h.delivery[2];
    r.AGENCY_DEL4 = h.delivery[3];
    r.PALLETIZE = h.palletize ? "Y" : "N";
    r.MINIOR_BID = h.minority ? "Y" : "N";
    r.Escalation = h.escalation ? 1 : 0;
    r.NonProfit = h.non_profit ? 1 : 0;
    r.BidType = h.bid_type;
    hea_.memo(HEA::NOTES_MEMO) = h.notes;
    bid_ = h.bid_id;
    agency_ = h.agency;
    opening_ = h.opening;
    brand_refs_.clear();
    return hea_.add();
  }

  Status line(const char* line_num, const LineOpt& l) {
    spe_.clear();
    auto& r = spe_.rec();
    r.LINE_NUM = line_num;
    r.PRODUCT_SPEC = l.spec;
    r.CN_LABEL = l.cn_label ? "Y" : "N";
    r.USDA = l.usda ? "Y" : "N";
    r.SPEC_SHEET = l.spec_sheet ? "Y" : "N";
    r.GRADE = l.grade;
    r.APPROVED_BRANDS = l.approved_brands;
    r.BID_ID = bid_;
    r.MFR_BIDNUM = l.mfr_bidnum;
    r.COMMISSION = dec(l.commission);
    r.HIST_BID_ID = l.hist_bid;
    r.HIST_LINE_NUM = l.hist_line;
    r.ALT_SEQ = l.alt_seq;
    r.BRANDED = *l.approved_brands ? 1 : 0;
    spe_.memo(SPE::COMMENTS_MEMO) = l.comments;
    line_ = line_num;
    // The bid/line value: the bid id with its trailing blanks, then the line number.
    Str<24> id(bid_);
    bid_line_ = std::string(id.raw()) + line_;
    return spe_.add();
  }

  Status offer(const std::string& code, const OfferOpt& o) {
    const Product& p = w_.products[by_code_.at(code)];
    const std::string& brand = w_.brands[p.brand].name;
    pro_.clear();
    auto& r = pro_.rec();
    int pb_id = next_pb_id_++;
    r.PB_ID = pb_id;
    r.BID_ID = bid_;
    r.LINE_NUM = line_;
    r.BID_LINE = bid_line_;
    r.AWARD_FLAG = o.award ? "Y" : "N";
    r.AWARD_DATE = o.award ? o.award_date : 0;
    r.PBCODE = p.code;
    r.ALT_PROD = o.alt ? "Y" : "N";
    r.MANUFAC = brand;
    r.MFR_REFNUM = ref_number(p.brand);
    if (o.award) {
      char aw[16];
      std::snprintf(aw, sizeof aw, "AW-%06d", pb_id % 1000000);
      r.MFRAWARD = aw;
    }
    r.PACK = p.pack;
    r.DESCRIP = p.description;
    r.PROD_DIVISON = p.division;
    Decimal fob = p.price;
    Decimal delivered = fob + dec("1.25");
    r.PRICE = money(delivered);
    r.UNIT = o.unit;
    r.PRICE_BASIS = o.basis == 'D' ? "D" : "F";
    r.FPRICE = money(fob);
    r.FUNIT = o.unit;
    r.POFO = brand_city(p.brand);
    r.NET = o.net;
    r.ALLOW = std::string(o.net) == "Z" ? "" : money((fob * dec("0.04")).Round(2));
    r.ALLOWUM = std::string(o.net) == "Z" ? "" : o.unit;
    r.GUANT = "Firm through delivery period";
    r.QUAN = o.quantity;
    r.UNITS = o.unit;
    r.SERVE = o.serve;
    r.APPROX = o.approx ? "Y" : "N";
    r.GROSS = p.gross_wt;
    r.NET_WT = p.net_wt;
    r.HIST_PRICE = *o.hist_price ? std::string(o.hist_price) : money(delivered) + " CS DEL";
    r.TERMOFGUAN = opening_ + 300;
    r.TERMOFALLOW = opening_ + 180;
    r.COMMENTS = o.comments[0];
    r.COMMENTS2 = o.comments[1];
    r.COMMENTS3 = o.comments[2];
    r.COMMENTS4 = o.comments[3];
    if (o.extension) {
      Decimal up = dec("1.03");
      r.EXTPRICE = money((delivered * up).Round(2));
      r.EXTUM = o.unit;
      r.EXTFPRICE = money((fob * up).Round(2));
      r.EXTFUM = o.unit;
      r.EXTALLOW = money((fob * dec("0.03")).Round(2));
      r.EXTALLOWUM = o.unit;
      r.EXTTERMOFG = opening_ + 665;
      r.EXTTERMOFA = opening_ + 545;
      r.ExtTerm = 1;
    }
    TDX_SAMPLE_TRY(pro_.add());
    for (int c : o.std_comments) {
      pbc_.clear();
      pbc_.rec().PB_ID = pb_id;
      pbc_.rec().STD_ID = c;
      TDX_SAMPLE_TRY(pbc_.add());
    }
    return Status();
  }

  Status competitor(const CompOpt& c) {
    cob_.clear();
    auto& r = cob_.rec();
    r.BID_ID = bid_;
    r.LINE_NUM = line_;
    r.BID_LINE = bid_line_;
    r.DISTRI = w_.distributors[c.distributor];
    r.MANUFAC = w_.competitors[c.competitor];
    r.PROD_CODE = c.code;
    r.PACK = c.pack;
    r.PROD_DES = c.description;
    r.PRICE = c.price;
    r.TERMS = c.terms;
    r.CALL_DATE = c.call_date;
    r.AWARD_FLAG = c.award ? "Y" : "N";
    r.AWARD_DATE = c.award ? c.award_date : 0;
    cob_.memo(COB::COMMENTS_MEMO) = c.comments;
    return cob_.add();
  }

  Status distributor(const DistOpt& d) {
    bdi_.clear();
    auto& r = bdi_.rec();
    r.BID_ID = bid_;
    r.LINE_NUM = line_;
    r.BID_LINE = bid_line_;
    r.AWARD_FLAG = d.award ? "Y" : "N";
    r.BID_PRICE = d.price;
    r.DISTRIBUTOR = w_.distributors[d.distributor];
    r.DISTBIDID = d.bid_id;
    return bdi_.add();
  }

 private:
  std::vector<store::KeyedFile*> files() {
    return {hea_.file(), spe_.file(), pro_.file(), cob_.file(), bdi_.file(), pbc_.file()};
  }
  // The brand's reference number for this bid: one per brand and bid.
  std::string ref_number(int brand) {
    auto it = brand_refs_.find(brand);
    if (it != brand_refs_.end()) return it->second;
    char buf[16];
    std::snprintf(buf, sizeof buf, "R%03d-%05d", brand % 1000, (next_ref_++) % 100000);
    return brand_refs_[brand] = buf;
  }
  std::string brand_city(int brand) {
    static const char* kCities[] = {"Omaha NE", "Gloucester MA", "Yakima WA", "Green Bay WI"};
    return brand < 4 ? kCities[brand] : "Columbus OH";
  }

  const World& w_;
  Out<HEA::Record> hea_;
  Out<SPE::Record> spe_;
  Out<PRO::Record> pro_;
  Out<COB::Record> cob_;
  Out<BDI::Record> bdi_;
  Out<PBC::Record> pbc_;
  std::map<std::string, int> by_code_;
  std::map<int, std::string> brand_refs_;
  std::string bid_, line_, bid_line_;
  int agency_ = 0;
  int32_t opening_ = 0;
  int next_pb_id_ = 1;
  int next_ref_ = 1;
};

int32_t D(int y, int m, int d) { return make_date(m, d, y); }

// Distributor and competitor indexes of the small set.
enum { kMetro = 0, kValley = 1, kCoastal = 2, kSummit = 3 };
enum { kAcme = 0, kGoldenState = 1, kGreatLakes = 2 };

// Last year's Lincoln County bid: the history that this year's bid points at. Lines 1, 3 and
// 6 were won by our brands, lines 2 and 4 by competitors, line 5 by nobody on file.
Status lincoln_2023(BidWriter& b) {
  const int32_t award = D(2023, 4, 5);
  TDX_SAMPLE_TRY(b.header({.bid_id = "LCPS-2023-014",
                           .agency = 0,
                           .rep = 0,
                           .received = D(2023, 3, 1),
                           .opening = D(2023, 3, 20),
                           .hour = 10,
                           .minute = 0,
                           .from = D(2023, 7, 1),
                           .to = D(2024, 6, 30),
                           .bid_type = "ANNU",
                           .notes = "Annual K-12 bid, 14 schools. Awards by line.",
                           .delivery = {"Deliver to Central Warehouse, 12 Depot St",
                                        "Mon-Fri 7:00 AM to 2:00 PM", "", ""}}));
  TDX_SAMPLE_TRY(b.line(
      "1",
      {.spec = "Beef patty, 100% beef, 4 oz cooked, CN labeled", .alt_seq = 10, .cn_label = true}));
  TDX_SAMPLE_TRY(
      b.offer("PG-1001",
              {.award = true, .award_date = award, .quantity = 850, .hist_price = "41.80 CS DEL"}));
  TDX_SAMPLE_TRY(b.distributor({kMetro, "41.80", "M23-114", true}));
  TDX_SAMPLE_TRY(b.distributor({kValley, "42.10", "V-7781"}));

  TDX_SAMPLE_TRY(b.line("2", {.spec = "Fish, pollock, breaded, 3.6 oz portion", .alt_seq = 20}));
  TDX_SAMPLE_TRY(b.offer("BS-2001", {.quantity = 300}));
  TDX_SAMPLE_TRY(b.competitor(
      {.competitor = kAcme,
       .distributor = kValley,
       .code = "AP-550",
       .pack = "10 LB",
       .description = "Pollock Portion Breaded 3.2 oz",
       .price = "35.90 CS",
       .terms = "Net 30",
       .award = true,
       .award_date = award,
       .call_date = D(2023, 3, 28),
       .comments = "Acme bid a 3.2 oz portion, accepted as equal by the agency. Price held for "
                   "twelve months with no escalation clause."}));
  TDX_SAMPLE_TRY(b.competitor({.competitor = kGoldenState,
                               .distributor = kMetro,
                               .code = "GS-88",
                               .pack = "4/6 LB",
                               .description = "Fish Sticks",
                               .price = "37.20 CS"}));

  TDX_SAMPLE_TRY(b.line("3", {.spec = "Peaches, diced, in juice, #10 can", .alt_seq = 30}));
  TDX_SAMPLE_TRY(
      b.offer("SV-3002",
              {.award = true, .award_date = award, .quantity = 400, .hist_price = "30.95 CS DEL"}));
  TDX_SAMPLE_TRY(b.distributor({kMetro, "30.95", "M23-114", true}));

  TDX_SAMPLE_TRY(b.line("4", {.spec = "Turkey breast, sliced, 2 lb loaf", .alt_seq = 40}));
  TDX_SAMPLE_TRY(b.offer("PG-1003", {.quantity = 120}));
  TDX_SAMPLE_TRY(b.competitor({.competitor = kGoldenState,
                               .distributor = kValley,
                               .code = "GS-210",
                               .pack = "6/2 LB",
                               .description = "Turkey Breast Sliced",
                               .price = "49.75 CS",
                               .award = true,
                               .award_date = award}));

  TDX_SAMPLE_TRY(b.line("5", {.spec = "Apple slices, fresh cut, 2 oz bags", .alt_seq = 50}));
  TDX_SAMPLE_TRY(b.offer("SV-3001", {.quantity = 2000}));

  TDX_SAMPLE_TRY(b.line("6", {.spec = "Milk, 1% white, 8 oz carton", .alt_seq = 60}));
  TDX_SAMPLE_TRY(b.offer(
      "ND-4001",
      {.award = true, .award_date = award, .quantity = 5000, .hist_price = "16.40 CS DEL"}));
  TDX_SAMPLE_TRY(b.distributor({kValley, "16.40", "V-7781", true}));
  return Status();
}

// This year's Lincoln County bid: the quote the reports are shown on. Every line carries a
// feature of its own (docs/sample-data.md has the table).
Status lincoln_2024(BidWriter& b) {
  const int32_t call = D(2024, 3, 12);
  TDX_SAMPLE_TRY(b.header(
      {.bid_id = "LCPS-2024-009",
       .agency = 0,
       .rep = 0,
       .received = D(2024, 2, 15),
       .opening = D(2024, 3, 5),
       .hour = 14,
       .minute = 0,
       .from = D(2024, 7, 1),
       .to = D(2025, 6, 30),
       .bid_type = "ANNU",
       .notes = "Annual K-12 bid for 14 schools and the central kitchen. Samples of every "
                "offered item are due at the opening; the agency awards line by line and may "
                "split awards between brands.",
       .delivery = {"Deliver to Central Warehouse, 12 Depot St", "Mon-Fri 7:00 AM to 2:00 PM",
                    "Call 48 hours ahead: (704)555-2200", "No deliveries on school holidays"}}));

  TDX_SAMPLE_TRY(b.line("1", {.spec = "Beef patty, 100% beef, 4 oz cooked, CN labeled",
                              .alt_seq = 10,
                              .cn_label = true,
                              .hist_bid = "LCPS-2023-014",
                              .hist_line = "1",
                              .mfr_bidnum = "PG-24-031",
                              .commission = "1.50",
                              .comments = "Same item as last year."}));
  TDX_SAMPLE_TRY(
      b.offer("PG-1001", {.extension = true,
                          .quantity = 900,
                          .std_comments = {1, 2},
                          .comments = {"Price protected against beef market.", "", "", ""}}));
  TDX_SAMPLE_TRY(b.distributor({kMetro, "43.10", "M24-020"}));
  TDX_SAMPLE_TRY(b.distributor({kValley, "43.40", "V-8120"}));

  TDX_SAMPLE_TRY(b.line("2", {.spec = "Fish, pollock, breaded, 3.6 oz portion",
                              .alt_seq = 20,
                              .hist_bid = "LCPS-2023-014",
                              .hist_line = "2"}));
  TDX_SAMPLE_TRY(b.offer("BS-2001", {.quantity = 320}));
  TDX_SAMPLE_TRY(b.offer("BS-2003", {.alt = true, .quantity = 320}));
  TDX_SAMPLE_TRY(b.competitor({.competitor = kAcme,
                               .distributor = kValley,
                               .code = "AP-550",
                               .pack = "10 LB",
                               .description = "Pollock Portion Breaded",
                               .price = "36.40 CS",
                               .terms = "Net 30, price firm 12 months",
                               .call_date = call,
                               .comments = "Acme is expected to bid the same 3.2 oz portion "
                                           "as last year."}));
  TDX_SAMPLE_TRY(b.distributor({kValley, "37.65", "V-8120"}));

  TDX_SAMPLE_TRY(b.line("3", {.spec = "Peaches, diced, in juice, #10 can",
                              .alt_seq = 30,
                              .usda = true,
                              .grade = "A",
                              .hist_bid = "LCPS-2023-014",
                              .hist_line = "3"}));
  TDX_SAMPLE_TRY(b.offer("SV-3002", {.net = "OI", .quantity = 420}));
  TDX_SAMPLE_TRY(b.distributor({kMetro, "32.85", "M24-020"}));

  TDX_SAMPLE_TRY(b.line("4", {.spec = "Turkey breast, sliced, 2 lb loaf, brand named",
                              .alt_seq = 40,
                              .spec_sheet = true,
                              .approved_brands = "Prairie Gold, Golden State or approved equal",
                              .hist_bid = "LCPS-2023-014",
                              .hist_line = "4"}));
  TDX_SAMPLE_TRY(b.offer("PG-1003", {.quantity = 150, .std_comments = {3}}));
  TDX_SAMPLE_TRY(b.competitor({.competitor = kGoldenState,
                               .distributor = kValley,
                               .code = "GS-210",
                               .pack = "6/2 LB",
                               .description = "Turkey Breast Sliced",
                               .price = "50.10 CS"}));

  TDX_SAMPLE_TRY(b.line(
      "5", {.spec = "Pork sausage links or equal, 1 oz", .alt_seq = 50, .spec_sheet = true}));
  TDX_SAMPLE_TRY(b.offer("PG-1005", {.net = "P", .quantity = 200}));
  TDX_SAMPLE_TRY(b.offer("ND-4002", {.quantity = 60}));
  TDX_SAMPLE_TRY(b.distributor({kMetro, "31.20", "M24-020"}));

  TDX_SAMPLE_TRY(b.line("6", {.spec = "Milk, 1% white, 8 oz carton",
                              .alt_seq = 60,
                              .hist_bid = "LCPS-2023-014",
                              .hist_line = "6"}));
  TDX_SAMPLE_TRY(b.offer("ND-4001", {.net = "Z", .unit = "BL", .approx = true, .quantity = 5200}));
  TDX_SAMPLE_TRY(b.distributor({kValley, "17.05", "V-8120"}));

  TDX_SAMPLE_TRY(b.line("7", {.spec = "Jalapeno peppers, sliced, #10 can", .alt_seq = 70}));
  TDX_SAMPLE_TRY(b.offer(
      "SV-3004", {.basis = 'F',
                  .quantity = 45,
                  .serve = 1,
                  .comments = {"New item for the Mexican bar.", "FOB Yakima, WA.",
                               "Freight quoted separately by distributor.", "Mild heat level."}}));
  TDX_SAMPLE_TRY(b.distributor({kSummit, "29.90", "S-4410"}));

  TDX_SAMPLE_TRY(b.line("8", {.spec = "Fish sticks, whole grain breaded", .alt_seq = 80}));
  TDX_SAMPLE_TRY(b.offer("BS-2002", {.extension = true, .quantity = 280, .std_comments = {3, 5}}));
  TDX_SAMPLE_TRY(b.competitor({.competitor = kGreatLakes,
                               .distributor = kMetro,
                               .code = "GL-77",
                               .pack = "4/6 LB",
                               .description = "Fish Sticks WG",
                               .price = "34.00 CS",
                               .call_date = call}));

  TDX_SAMPLE_TRY(b.line("9", {.spec = "Yogurt, low fat, strawberry, 4 oz",
                              .alt_seq = 90,
                              .cn_label = true,
                              .usda = true,
                              .grade = "AA"}));
  TDX_SAMPLE_TRY(b.offer("ND-4003", {.net = "BB", .quantity = 1500}));
  TDX_SAMPLE_TRY(b.distributor({kMetro, "23.95", "M24-020"}));
  TDX_SAMPLE_TRY(b.distributor({kValley, "24.10", "V-8120"}));

  // Lines 10 to 12 sort between the others in the alternate sequence.
  TDX_SAMPLE_TRY(b.line("10", {.spec = "Chicken tenders, breaded, fully cooked",
                               .alt_seq = 15,
                               .hist_bid = "LCPS-2023-014",
                               .hist_line = "5"}));
  TDX_SAMPLE_TRY(b.offer("PG-1002", {.quantity = 600, .std_comments = {6}}));

  TDX_SAMPLE_TRY(b.line("11", {.spec = "String cheese, mozzarella, 1 oz", .alt_seq = 25}));
  TDX_SAMPLE_TRY(b.offer("ND-4004", {.net = "OI", .quantity = 700}));
  TDX_SAMPLE_TRY(b.distributor({kValley, "42.30", "V-8120"}));

  TDX_SAMPLE_TRY(b.line(
      "12", {.spec = "Pear halves, light syrup, #10 can", .alt_seq = 35, .commission = "0.75"}));
  TDX_SAMPLE_TRY(b.offer("SV-3003", {.quantity = 90}));
  return Status();
}

// A minority bid with an escalation clause, awarded: brands, distributors and competitors won
// lines; the hospital bid below points its history here.
Status corrections_2024(BidWriter& b) {
  const int32_t award = D(2024, 4, 25);
  TDX_SAMPLE_TRY(b.header({.bid_id = "SDC-2024-031",
                           .agency = 1,
                           .rep = 1,
                           .received = D(2024, 3, 20),
                           .opening = D(2024, 4, 10),
                           .hour = 11,
                           .minute = 0,
                           .from = D(2024, 5, 1),
                           .to = D(2024, 10, 31),
                           .bid_type = "SEMI",
                           .minority = true,
                           .escalation = true,
                           .notes = "Statewide correctional facilities; palletized loads.",
                           .delivery = {"Receiving Dock B, 1 Supply Way", "", "", ""}}));
  TDX_SAMPLE_TRY(b.line("1", {.spec = "Beef taco filling, fully cooked", .alt_seq = 1}));
  TDX_SAMPLE_TRY(b.offer(
      "PG-1004", {.award = true, .award_date = award, .extension = true, .quantity = 1200}));
  TDX_SAMPLE_TRY(b.distributor({kCoastal, "49.15", "C-2024-31", true}));
  TDX_SAMPLE_TRY(b.distributor({kSummit, "49.60", "S-4520"}));

  TDX_SAMPLE_TRY(b.line("2", {.spec = "Fish sticks, 1 oz", .alt_seq = 2}));
  TDX_SAMPLE_TRY(b.offer("BS-2002", {.quantity = 800}));
  TDX_SAMPLE_TRY(
      b.competitor({.competitor = kGreatLakes,
                    .distributor = kSummit,
                    .code = "GL-77",
                    .pack = "4/6 LB",
                    .description = "Fish Sticks",
                    .price = "32.40 CS",
                    .terms = "Net 21",
                    .award = true,
                    .award_date = award,
                    .comments = "Great Lakes won on price; its sticks are not whole grain."}));
  TDX_SAMPLE_TRY(b.distributor({kSummit, "34.50", "S-4520"}));

  TDX_SAMPLE_TRY(b.line("3", {.spec = "Cheddar cheese, shredded, 5 lb", .alt_seq = 3}));
  TDX_SAMPLE_TRY(b.offer("ND-4002", {.award = true, .award_date = award, .quantity = 300}));
  TDX_SAMPLE_TRY(b.distributor({kCoastal, "55.60", "C-2024-31", true}));

  TDX_SAMPLE_TRY(b.line("4", {.spec = "Pear halves or diced peaches, #10", .alt_seq = 4}));
  TDX_SAMPLE_TRY(b.offer("SV-3003", {.quantity = 150}));
  TDX_SAMPLE_TRY(b.offer("SV-3002", {.alt = true, .quantity = 150}));
  TDX_SAMPLE_TRY(b.competitor({.competitor = kAcme,
                               .distributor = kCoastal,
                               .code = "AP-10",
                               .pack = "6/#10",
                               .description = "Pears Halves",
                               .price = "33.10 CS"}));

  TDX_SAMPLE_TRY(b.line("5", {.spec = "Chicken tenders or fish portions", .alt_seq = 5}));
  TDX_SAMPLE_TRY(b.offer("PG-1002", {.quantity = 500}));
  TDX_SAMPLE_TRY(b.offer("BS-2001", {.quantity = 500}));
  TDX_SAMPLE_TRY(b.distributor({kMetro, "40.05", "M24-077"}));
  return Status();
}

// A non-profit hospital bid whose history points at the corrections bid.
Status hospital_2024(BidWriter& b) {
  TDX_SAMPLE_TRY(b.header({.bid_id = "RHD-2024-007",
                           .agency = 2,
                           .rep = 2,
                           .received = D(2024, 4, 15),
                           .opening = D(2024, 5, 1),
                           .hour = 9,
                           .minute = 30,
                           .from = D(2024, 6, 1),
                           .to = D(2024, 8, 31),
                           .bid_type = "QTR",
                           .palletize = false,
                           .non_profit = true}));
  TDX_SAMPLE_TRY(b.line(
      "1",
      {.spec = "Beef taco filling", .alt_seq = 1, .hist_bid = "SDC-2024-031", .hist_line = "1"}));
  TDX_SAMPLE_TRY(b.offer("PG-1004", {.quantity = 60}));
  TDX_SAMPLE_TRY(b.distributor({kSummit, "50.20", "S-4601"}));

  TDX_SAMPLE_TRY(b.line(
      "2", {.spec = "Fish sticks", .alt_seq = 2, .hist_bid = "SDC-2024-031", .hist_line = "2"}));
  TDX_SAMPLE_TRY(b.offer("BS-2002", {.quantity = 40}));

  TDX_SAMPLE_TRY(b.line("3", {.spec = "Milk, 1% white, 8 oz", .alt_seq = 3}));
  TDX_SAMPLE_TRY(b.offer("ND-4001", {.quantity = 900}));
  TDX_SAMPLE_TRY(b.distributor({kSummit, "17.40", "S-4601"}));

  TDX_SAMPLE_TRY(b.line("4", {.spec = "Apple slices, fresh cut", .alt_seq = 4}));
  TDX_SAMPLE_TRY(b.offer("SV-3001", {.extension = true, .quantity = 300}));
  return Status();
}

// Generated bids: 25 per step of the scale, 20 lines each, two offers per line. Bid n of an
// agency points its lines' history at bid n-1 of the same agency, where every third line was
// won by the brand offered again and the lines after those by a competitor.
Status generated(BidWriter& b, const World& w) {
  int n_gen_agencies = static_cast<int>(w.agencies.size()) - 3;
  int n_gen_brands = static_cast<int>(w.brands.size()) - 4;
  if (w.scale <= 1 || n_gen_agencies <= 0 || n_gen_brands <= 0) return Status();
  Rng rng(0xB1D5EEDull);
  const int bids = 25 * (w.scale - 1);
  const int32_t base = D(2019, 1, 7);
  // Bids agency by agency and lines in the text order of their numbers ("1", "10", ... "2",
  // "20", "3"): records then arrive in the order of the bid keys, which keeps the inserts of a
  // million lines at the end of each index.
  std::vector<int> line_order;
  for (int i = 1; i <= 20; ++i) line_order.push_back(i);
  std::sort(line_order.begin(), line_order.end(),
            [](int a, int b) { return std::to_string(a) < std::to_string(b); });
  for (int ga = 0; ga < n_gen_agencies; ++ga)
    for (int k = ga; k < bids; k += n_gen_agencies) {
      int seq = k / n_gen_agencies;
      int agency = 3 + ga;
      char id[32], prev[32];
      std::snprintf(id, sizeof id, "A%04d-B%05d", ga + 1, seq + 1);
      std::snprintf(prev, sizeof prev, "A%04d-B%05d", ga + 1, seq);
      int32_t received = base + seq * 45 + ga % 30;
      int32_t opening = received + 21;
      TDX_SAMPLE_TRY(b.header({.bid_id = id,
                               .agency = agency,
                               .rep = static_cast<int>(k % w.reps.size()),
                               .received = received,
                               .opening = opening,
                               .hour = 9 + k % 6,
                               .minute = (k % 4) * 15,
                               .from = opening + 30,
                               .to = opening + 210,
                               .bid_type = w.bid_types[k % w.bid_types.size()].c_str(),
                               .palletize = k % 2 == 0,
                               .minority = k % 10 == 0,
                               .escalation = k % 7 == 0,
                               .non_profit = ga % 3 == 2,
                               .notes = k % 3 == 0 ? "Generated bid for volume runs." : ""}));
      const Agency& a = w.agencies[agency];
      for (int i : line_order) {
        char line[8];
        std::snprintf(line, sizeof line, "%d", i);
        const Brand& brand = w.brands[4 + (ga * 7 + i) % n_gen_brands];
        const std::string& code = w.products[brand.products[(ga + i) % 20]].code;
        LineOpt l{.spec = "Generated specification line",
                  .alt_seq = i * 10,
                  .cn_label = i % 7 == 0,
                  .usda = i % 5 == 0,
                  .spec_sheet = i % 6 == 0,
                  .grade = i % 11 == 0 ? "A" : "",
                  .approved_brands = i % 9 == 0 ? "Named brand or approved equal" : ""};
        if (seq > 0) {
          l.hist_bid = prev;
          l.hist_line = line;
        }
        TDX_SAMPLE_TRY(b.line(line, l));
        bool brand_won = i % 3 == 0, comp_won = i % 3 == 1;
        int32_t award = opening + 14;
        TDX_SAMPLE_TRY(b.offer(
            code, {.award = brand_won,
                   .award_date = award,
                   .extension = i % 5 == 0,
                   .net = i % 4 == 0 ? "OI" : (i % 4 == 1 ? "BB" : "P"),
                   .quantity = 50 + rng.below(2000),
                   .std_comments = i % 2 == 0 ? std::vector<int>{1 + i % 6} : std::vector<int>{}}));
        // The second offer: an alternate of the same brand, or another brand's product.
        if (i % 2 == 0) {
          const std::string& alt = w.products[brand.products[(ga + i + 1) % 20]].code;
          TDX_SAMPLE_TRY(b.offer(alt, {.alt = true, .quantity = 50 + rng.below(2000)}));
        } else {
          const Brand& other = w.brands[4 + (ga * 7 + i + 1) % n_gen_brands];
          TDX_SAMPLE_TRY(b.offer(w.products[other.products[(ga + i) % 20]].code,
                                 {.quantity = 50 + rng.below(2000)}));
        }
        int dist = a.distributors[i % a.distributors.size()];
        char price[16], dbid[16];
        std::snprintf(price, sizeof price, "%d.%02d", 20 + rng.below(40), rng.below(100));
        std::snprintf(dbid, sizeof dbid, "D%05d", k % 100000);
        TDX_SAMPLE_TRY(b.distributor({dist, price, dbid, brand_won}));
        if (comp_won || i % 2 == 1) {
          int c = (ga + i) % static_cast<int>(w.competitors.size());
          TDX_SAMPLE_TRY(b.competitor({.competitor = c,
                                       .distributor = dist,
                                       .code = "CMP-100",
                                       .pack = "6/#10",
                                       .description = "Competitor item",
                                       .price = "31.00 CS",
                                       .award = comp_won,
                                       .award_date = award,
                                       .comments = comp_won ? "Won on price." : ""}));
        }
      }
    }
  return Status();
}

}  // namespace

Status write_bids(const std::string& dir, const World& w, std::ostream& progress) {
  BidWriter b(dir, w);
  TDX_SAMPLE_TRY(b.begin());
  Status s = lincoln_2023(b);
  if (s.ok()) s = lincoln_2024(b);
  if (s.ok()) s = corrections_2024(b);
  if (s.ok()) s = hospital_2024(b);
  if (s.ok()) s = generated(b, w);
  if (!s.ok()) {
    (void)store::rollback();
    return s;
  }
  return b.finish(progress);
}

}  // namespace tdx::core::sample
