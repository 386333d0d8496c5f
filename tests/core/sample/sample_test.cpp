// The sample data set: the same for the same scale, every join holding, and every report
// feature present in the small set.
#include "core/sample/sample.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>

#include "data/files.h"
#include "data/record_file.h"
#include "runtime/settings/settings.h"
#include "runtime/text/str.h"

namespace tdx::core {
namespace {

namespace fs = std::filesystem;

template <typename Rec>
struct Row {
  Rec r;
  std::vector<std::string> memos;
};

// Every record of one file of a sample folder, in record order.
template <typename Rec>
std::vector<Row<Rec>> load(const fs::path& dir, std::shared_ptr<const store::FileDecl> decl) {
  data::RecordFile<Rec> f(decl);
  f.set_name((dir / decl->file_name).string());
  std::vector<Row<Rec>> out;
  EXPECT_TRUE(f.open().ok()) << decl->file_name;
  EXPECT_TRUE(f.set_file().ok());
  while (f.next().ok()) {
    Row<Rec> row{f.rec(), {}};
    for (size_t m = 0; m < decl->memos.size(); ++m) row.memos.push_back(f.memo(m));
    out.push_back(std::move(row));
  }
  return out;
}

// The whole set in memory.
struct Set {
  std::vector<Row<PRD::Record>> prd;
  std::vector<Row<MAN::Record>> man;
  std::vector<Row<DIS::Record>> dis;
  std::vector<Row<MDX::Record>> mdx;
  std::vector<Row<MDP::Record>> mdp;
  std::vector<Row<HEA::Record>> hea;
  std::vector<Row<SPE::Record>> spe;
  std::vector<Row<PRO::Record>> pro;
  std::vector<Row<COB::Record>> cob;
  std::vector<Row<BDI::Record>> bdi;
  std::vector<Row<AGE::Record>> age;
  std::vector<Row<SAL::Record>> sal;
  std::vector<Row<REG::Record>> reg;
  std::vector<Row<CMP::Record>> cmp;
  std::vector<Row<COM::Record>> com;
  std::vector<Row<PBC::Record>> pbc;
  std::vector<Row<STC::Record>> stc;
  std::vector<Row<COD::Record>> cod;
  std::vector<Row<AWA::Record>> awa;
  std::vector<Row<EXT::Record>> ext;

  explicit Set(const fs::path& d)
      : prd(load<PRD::Record>(d, PRD::Decl())),
        man(load<MAN::Record>(d, MAN::Decl())),
        dis(load<DIS::Record>(d, DIS::Decl())),
        mdx(load<MDX::Record>(d, MDX::Decl())),
        mdp(load<MDP::Record>(d, MDP::Decl())),
        hea(load<HEA::Record>(d, HEA::Decl())),
        spe(load<SPE::Record>(d, SPE::Decl())),
        pro(load<PRO::Record>(d, PRO::Decl())),
        cob(load<COB::Record>(d, COB::Decl())),
        bdi(load<BDI::Record>(d, BDI::Decl())),
        age(load<AGE::Record>(d, AGE::Decl())),
        sal(load<SAL::Record>(d, SAL::Decl())),
        reg(load<REG::Record>(d, REG::Decl())),
        cmp(load<CMP::Record>(d, CMP::Decl())),
        com(load<COM::Record>(d, COM::Decl())),
        pbc(load<PBC::Record>(d, PBC::Decl())),
        stc(load<STC::Record>(d, STC::Decl())),
        cod(load<COD::Record>(d, COD::Decl())),
        awa(load<AWA::Record>(d, AWA::Decl())),
        ext(load<EXT::Record>(d, EXT::Decl())) {}
};

// Names compare as the NOCASE keys do: clipped, upper case.
std::string K(std::string_view s) { return upper(clip(s)); }
template <size_t N>
std::string K(const Str<N>& s) {
  return K(s.raw());
}
std::string K2(std::string_view a, std::string_view b) { return K(a) + "\x01" + K(b); }

class SampleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::current_path() /
        ("sample_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
  }
  fs::path write(const std::string& name, int scale) {
    fs::path d = root_ / name;
    std::ostringstream progress;
    Status s = WriteSample(d.string(), scale, progress);
    EXPECT_TRUE(s.ok()) << s.ToString();
    return d;
  }
  fs::path root_;
};

// Each file's bytes and memos, in record order: two folders hold the same set when these match.
std::map<std::string, std::vector<std::string>> snapshot(const fs::path& dir) {
  std::map<std::string, std::vector<std::string>> out;
  for (const auto& decl : data::all_files()) {
    fs::path p = dir / decl->file_name;
    if (!fs::exists(p)) continue;
    store::KeyedFile f(decl);
    f.set_name(p.string());
    EXPECT_TRUE(f.open().ok());
    EXPECT_TRUE(f.set_file().ok());
    auto& v = out[decl->label];
    while (f.next().ok()) {
      std::string r(reinterpret_cast<const char*>(f.record()), f.record_size());
      for (size_t m = 0; m < decl->memos.size(); ++m) r += "|" + f.memo(m);
      v.push_back(r);
    }
  }
  return out;
}

TEST_F(SampleTest, SameScaleGivesTheSameSet) {
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    fs::path a = write("a" + std::to_string(scale), scale);
    fs::path b = write("b" + std::to_string(scale), scale);
    auto sa = snapshot(a);
    EXPECT_EQ(sa.size(), 20u);  // every file but the transfer's cross-references and FAXHEAD
    EXPECT_EQ(sa, snapshot(b));
    // Writing again over an existing set replaces it rather than adding to it.
    write("a" + std::to_string(scale), scale);
    EXPECT_EQ(sa, snapshot(a));
  }
}

void check_joins(const Set& s) {
  std::set<std::string> brands, dists, agencies, reps, regions, comps, bidtypes, bids, stds;
  std::set<std::string> products, lines, pairs, pb_ids;
  std::map<std::string, int32_t> opening;
  for (const auto& x : s.man) brands.insert(K(x.r.MANUF_NAME));
  for (const auto& x : s.dis) dists.insert(K(x.r.DISTRI_NAME));
  for (const auto& x : s.age) agencies.insert(K(x.r.AGENCY_NAME));
  for (const auto& x : s.sal) reps.insert(K(x.r.SALES_REP));
  for (const auto& x : s.reg) regions.insert(K(x.r.REGION));
  for (const auto& x : s.cmp) comps.insert(K(x.r.NAME));
  for (const auto& x : s.stc) stds.insert(std::to_string(x.r.ID));
  for (const auto& x : s.cod)
    if (K(x.r.ID) == "BIDT") bidtypes.insert(K(x.r.VALUE));
  for (const auto& x : s.prd) {
    EXPECT_TRUE(brands.count(K(x.r.MANUFAC))) << x.r.MANUFAC.str();
    products.insert(K2(x.r.MANUFAC.raw(), x.r.PROD_CODE.raw()));
  }
  for (const auto& x : s.mdx) {
    EXPECT_TRUE(brands.count(K(x.r.MANUF_NAME)));
    EXPECT_TRUE(dists.count(K(x.r.DISTRI_NAME)));
    pairs.insert(K2(x.r.MANUF_NAME.raw(), x.r.DISTRI_NAME.raw()));
  }
  for (const auto& x : s.mdp) {
    EXPECT_TRUE(products.count(K2(x.r.MANUF.raw(), x.r.MANUF_PCODE.raw())));
    EXPECT_TRUE(pairs.count(K2(x.r.MANUF.raw(), x.r.DISTR.raw())));
  }
  for (const auto& x : s.age) {
    for (const auto* d : {&x.r.DIST1, &x.r.DIST2, &x.r.DIST3, &x.r.DIST4, &x.r.DIST5})
      EXPECT_TRUE(d->blank() || dists.count(K(*d))) << d->str();
  }
  for (const auto& x : s.sal) EXPECT_TRUE(regions.count(K(x.r.REGION)));
  for (const auto& x : s.hea) {
    EXPECT_TRUE(agencies.count(K(x.r.BID_AGENCY))) << x.r.BID_AGENCY.str();
    EXPECT_TRUE(reps.count(K(x.r.SALES_REP)));
    EXPECT_TRUE(bidtypes.count(K(x.r.BidType)));
    EXPECT_TRUE(bids.insert(K(x.r.BID_ID)).second) << "bid id twice";
    opening[K(x.r.BID_ID)] = x.r.OPEN_DATE;
  }
  for (const auto& x : s.spe) {
    EXPECT_TRUE(bids.count(K(x.r.BID_ID)));
    lines.insert(K2(x.r.BID_ID.raw(), x.r.LINE_NUM.raw()));
  }
  for (const auto& x : s.spe) {
    if (x.r.HIST_BID_ID.blank()) continue;
    // The history line exists and belongs to an earlier bid.
    EXPECT_TRUE(lines.count(K2(x.r.HIST_BID_ID.raw(), x.r.HIST_LINE_NUM.raw())))
        << x.r.BID_ID.str() << "/" << x.r.LINE_NUM.str();
    EXPECT_LT(opening[K(x.r.HIST_BID_ID)], opening[K(x.r.BID_ID)]);
  }
  auto bid_line_ok = [](const auto& r) {
    return std::string(r.BID_LINE.raw()) ==
           std::string(r.BID_ID.raw()) + std::string(r.LINE_NUM.raw());
  };
  for (const auto& x : s.pro) {
    EXPECT_TRUE(brands.count(K(x.r.MANUFAC)));
    EXPECT_TRUE(products.count(K2(x.r.MANUFAC.raw(), x.r.PBCODE.raw())))
        << x.r.MANUFAC.str() << " " << x.r.PBCODE.str();
    EXPECT_TRUE(lines.count(K2(x.r.BID_ID.raw(), x.r.LINE_NUM.raw())));
    EXPECT_TRUE(bid_line_ok(x.r));
    EXPECT_TRUE(pb_ids.insert(std::to_string(x.r.PB_ID)).second);
  }
  for (const auto& x : s.bdi) {
    EXPECT_TRUE(dists.count(K(x.r.DISTRIBUTOR))) << x.r.DISTRIBUTOR.str();
    EXPECT_TRUE(lines.count(K2(x.r.BID_ID.raw(), x.r.LINE_NUM.raw())));
    EXPECT_TRUE(bid_line_ok(x.r));
  }
  for (const auto& x : s.cob) {
    EXPECT_TRUE(comps.count(K(x.r.MANUFAC)));
    EXPECT_TRUE(dists.count(K(x.r.DISTRI)));
    EXPECT_TRUE(lines.count(K2(x.r.BID_ID.raw(), x.r.LINE_NUM.raw())));
    EXPECT_TRUE(bid_line_ok(x.r));
  }
  for (const auto& x : s.pbc) {
    EXPECT_TRUE(pb_ids.count(std::to_string(x.r.PB_ID)));
    EXPECT_TRUE(stds.count(std::to_string(x.r.STD_ID)));
  }
  ASSERT_EQ(s.com.size(), 1u);
  ASSERT_EQ(s.awa.size(), 1u);
  ASSERT_EQ(s.ext.size(), 1u);
  EXPECT_TRUE(agencies.count(K(s.awa[0].r.AGENCY)));
  EXPECT_TRUE(bids.count(K(s.awa[0].r.BID_ID)));
  EXPECT_TRUE(agencies.count(K(s.ext[0].r.AGENCY)));
}

TEST_F(SampleTest, EveryJoinHolds) {
  for (int scale : {1, 3}) {
    SCOPED_TRACE(scale);
    Set s(write("s" + std::to_string(scale), scale));
    check_joins(s);
    EXPECT_EQ(s.hea.size(), scale == 3 ? 4u + 50u : 4u);
  }
}

// The small set has at least one record for every feature the reports print.
TEST_F(SampleTest, SmallSetExercisesEveryReportFeature) {
  fs::path dir = write("one", 1);
  Set s(dir);
  auto yes = [](const auto& f) { return K(f) == "Y"; };
  // History: which (bid, line) pairs were won by our brand's code or by a competitor.
  std::set<std::string> won_by_brand, won_by_comp_with_notes;
  for (const auto& x : s.pro)
    if (yes(x.r.AWARD_FLAG))
      won_by_brand.insert(K2(x.r.BID_ID.raw(), x.r.LINE_NUM.raw()) + K(x.r.PBCODE));
  for (const auto& x : s.cob)
    if (yes(x.r.AWARD_FLAG) && !is_blank(x.memos[0]))
      won_by_comp_with_notes.insert(K2(x.r.BID_ID.raw(), x.r.LINE_NUM.raw()));
  std::set<std::string> discontinued;
  for (const auto& x : s.prd)
    if (yes(x.r.DISCONTINUED)) discontinued.insert(K2(x.r.MANUFAC.raw(), x.r.PROD_CODE.raw()));

  auto any_spe = [&](std::function<bool(const Row<SPE::Record>&)> f) {
    return std::any_of(s.spe.begin(), s.spe.end(), f);
  };
  auto any_pro = [&](std::function<bool(const Row<PRO::Record>&)> f) {
    return std::any_of(s.pro.begin(), s.pro.end(), f);
  };
  auto hist_brand = [&](const Row<SPE::Record>& x) {
    for (const auto& p : s.pro)
      if (K(p.r.BID_ID) == K(x.r.BID_ID) && K(p.r.LINE_NUM) == K(x.r.LINE_NUM) &&
          won_by_brand.count(K2(x.r.HIST_BID_ID.raw(), x.r.HIST_LINE_NUM.raw()) + K(p.r.PBCODE)))
        return true;
    return false;
  };
  struct Feature {
    const char* name;
    bool present;
  } features[] = {
      {"alternate product", any_pro([&](auto& x) { return yes(x.r.ALT_PROD); })},
      {"branded specification",
       any_spe([&](auto& x) { return !x.r.APPROVED_BRANDS.blank() && x.r.BRANDED == 1; })},
      {"CN label", any_spe([&](auto& x) { return yes(x.r.CN_LABEL); })},
      {"USDA", any_spe([&](auto& x) { return yes(x.r.USDA); })},
      {"grade", any_spe([&](auto& x) { return !x.r.GRADE.blank(); })},
      {"specification sheet", any_spe([&](auto& x) { return yes(x.r.SPEC_SHEET); })},
      {"history won by our brand", any_spe(hist_brand)},
      {"history won by a competitor, with notes", any_spe([&](auto& x) {
         return won_by_comp_with_notes.count(K2(x.r.HIST_BID_ID.raw(), x.r.HIST_LINE_NUM.raw()));
       })},
      {"history with no winner", any_spe([&](auto& x) {
         return !x.r.HIST_BID_ID.blank() && !hist_brand(x) &&
                !won_by_comp_with_notes.count(K2(x.r.HIST_BID_ID.raw(), x.r.HIST_LINE_NUM.raw())) &&
                std::none_of(s.cob.begin(), s.cob.end(), [&](auto& c) {
                  return yes(c.r.AWARD_FLAG) && K(c.r.BID_ID) == K(x.r.HIST_BID_ID) &&
                         K(c.r.LINE_NUM) == K(x.r.HIST_LINE_NUM);
                });
       })},
      {"competitor bid with notes",
       std::any_of(s.cob.begin(), s.cob.end(),
                   [](auto& x) { return !x.r.TERMS.blank() && !is_blank(x.memos[0]); })},
      {"distributor bid with price, id and award", std::any_of(s.bdi.begin(), s.bdi.end(),
                                                               [&](auto& x) {
                                                                 return !x.r.BID_PRICE.blank() &&
                                                                        !x.r.DISTBIDID.blank() &&
                                                                        yes(x.r.AWARD_FLAG);
                                                               })},
      {"extension pricing", any_pro([](auto& x) {
         return x.r.ExtTerm == 1 && !x.r.EXTPRICE.blank() && x.r.EXTTERMOFG > 0;
       })},
      {"standard comments", !s.pbc.empty()},
      {"comment lines", any_pro([](auto& x) { return !x.r.COMMENTS4.blank(); })},
      {"discontinued product offered", any_pro([&](auto& x) {
         return discontinued.count(K2(x.r.MANUFAC.raw(), x.r.PBCODE.raw()));
       })},
      {"two brands on one line",
       [&] {
         std::map<std::string, std::set<std::string>> b;
         for (const auto& x : s.pro)
           b[K2(x.r.BID_ID.raw(), x.r.LINE_NUM.raw())].insert(K(x.r.MANUFAC));
         return std::any_of(b.begin(), b.end(), [](auto& e) { return e.second.size() > 1; });
       }()},
      {"billing P", any_pro([](auto& x) { return K(x.r.NET) == "P"; })},
      {"billing BB", any_pro([](auto& x) { return K(x.r.NET) == "BB"; })},
      {"billing OI", any_pro([](auto& x) { return K(x.r.NET) == "OI"; })},
      {"billing Z", any_pro([](auto& x) { return K(x.r.NET) == "Z"; })},
      {"unit BL", any_pro([](auto& x) { return K(x.r.UNIT) == "BL"; })},
      {"approximate", any_pro([&](auto& x) { return yes(x.r.APPROX); })},
      {"FOB priced", any_pro([](auto& x) { return K(x.r.PRICE_BASIS) != "D"; })},
      {"new specification", any_pro([](auto& x) { return x.r.SERVE == 1; })},
      {"minority bid",
       std::any_of(s.hea.begin(), s.hea.end(), [&](auto& x) { return yes(x.r.MINIOR_BID); })},
      {"escalation clause",
       std::any_of(s.hea.begin(), s.hea.end(), [](auto& x) { return x.r.Escalation == 1; })},
      {"non-profit",
       std::any_of(s.hea.begin(), s.hea.end(), [](auto& x) { return x.r.NonProfit == 1; })},
      {"alternate sequence differs from line order",
       any_spe([](auto& x) { return K(x.r.LINE_NUM) == "10" && x.r.ALT_SEQ < 20; })},
      {"eight price levels",
       std::any_of(s.prd.begin(), s.prd.end(),
                   [](auto& x) { return !x.r.RANGE8.blank() && x.r.PRICE8.get() > Decimal(0); })},
      {"extended description of eight lines",
       std::any_of(s.prd.begin(), s.prd.end(), [](auto& x) { return x.memos[0].size() > 490; })},
      {"brand comments over four lines",
       std::any_of(s.man.begin(), s.man.end(), [](auto& x) { return x.memos[0].size() > 180; })},
      {"brand contacts",
       std::any_of(s.man.begin(), s.man.end(), [](auto& x) { return !x.r.CONTACT3.blank(); })},
      {"agency with distributors",
       std::any_of(s.age.begin(), s.age.end(), [](auto& x) { return !x.r.DIST3.blank(); })},
      {"company disclaimer", !s.com[0].r.COMMENT7.blank()},
      {"award letter text", !s.awa[0].memos[0].empty()},
      {"extended description letter text", !s.ext[0].memos[0].empty()},
  };
  for (const auto& f : features) EXPECT_TRUE(f.present) << f.name;

  std::string ini = (dir / "TENDIX.INI").string();
  EXPECT_EQ(get_ini("Alternate", "Company", "", ini), "Harbor Point Foods South");
  EXPECT_EQ(get_ini("AwardLetterOffsets", "HorizAdj", "", ini), "0.25");
  EXPECT_EQ(get_ini("SpecDistrQuote", "SpecialRmks", "NONE", ini),
            "All prices subject to brand approval.");
}

TEST_F(SampleTest, ScaleOutsideTheRangeIsRefused) {
  std::ostringstream progress;
  for (int scale : {0, -1, kMaxSampleScale + 1})
    EXPECT_EQ(WriteSample((root_ / "x").string(), scale, progress).code(), kSampleBadScale);
  EXPECT_FALSE(fs::exists(root_ / "x"));
}

}  // namespace
}  // namespace tdx::core
